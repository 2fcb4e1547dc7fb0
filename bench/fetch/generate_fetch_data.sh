#!/usr/bin/env bash
# Writes the SQL that builds the fetch benchmark's table: 50,400 rows by 39
# columns (an integer key, 19 doubles, 13 texts, 6 timestamps), one
# statement per line, 100 rows to an INSERT. Deterministic: the same file
# every time.
#
#   generate_fetch_data.sh [ROWS] > fetch_data.sql
set -euo pipefail
rows=${1:-50400}
awk -v rows="$rows" 'BEGIN {
  cols = "id integer"
  for (i = 1; i <= 19; i++) cols = cols ", n" i " double precision"
  for (i = 1; i <= 13; i++) cols = cols ", t" i " varchar(40)"
  for (i = 1; i <= 6; i++) cols = cols ", ts" i " timestamp"
  print "DROP TABLE IF EXISTS fetch_bench"
  print "CREATE TABLE fetch_bench (" cols ")"
  seed = 12345
  line = ""
  for (r = 1; r <= rows; r++) {
    v = r
    for (i = 1; i <= 19; i++) {
      seed = (seed * 1103515245 + 12345) % 2147483648
      v = v ", " sprintf("%.6f", (seed % 2000000) / 1000.0 - 1000.0)
    }
    for (i = 1; i <= 13; i++) {
      seed = (seed * 1103515245 + 12345) % 2147483648
      word = sprintf("item %d of group %d", seed % 100000, i)
      if (seed % 7 == 0) word = word "   "
      v = v ", '\''" word "'\''"
    }
    for (i = 1; i <= 6; i++) {
      seed = (seed * 1103515245 + 12345) % 2147483648
      v = v sprintf(", '\''%04d-%02d-%02d %02d:%02d:%02d'\''", 1990 + seed % 30,
                    1 + seed % 12, 1 + seed % 28, seed % 24, seed % 60, (seed / 7) % 60)
    }
    line = (line == "") ? "INSERT INTO fetch_bench VALUES (" v ")" : line ", (" v ")"
    if (r % 100 == 0 || r == rows) { print line; line = "" }
  }
}'
