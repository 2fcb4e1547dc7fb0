# What an R user would write instead of vodbc: read the whole result with
# RODBC and save the data frame. Prints the number of rows.
#
#   Rscript rodbc_rds.R CONNECTION SQL OUT.rds
args <- commandArgs(trailingOnly = TRUE)
suppressPackageStartupMessages(library(RODBC))
# The SQLite driver reports no row count for a SELECT; RODBC would believe
# it and read nothing.
channel <- odbcDriverConnect(args[1], believeNRows = FALSE)
if (!inherits(channel, "RODBC")) quit(status = 1)
data <- sqlQuery(channel, args[2])
# The SQLite driver refuses to disconnect while RODBC still holds its
# statement; the data is read by then, so that refusal is not a failure.
invisible(try(odbcClose(channel), silent = TRUE))
if (!is.data.frame(data)) {
  message(paste(data, collapse = "\n"))
  quit(status = 1)
}
saveRDS(data, args[3])
cat(nrow(data), "\n")
