#!/usr/bin/env bash
# Writes the SQL that builds the benchmark's table fetch_bench: ROWS rows by
# 39 columns, the shape of a table users move every week:
#   id            integer key, never NULL
#   n1 .. n20     doubles
#   ts1 .. ts6    timestamps (they arrive as text and become day numbers)
#   f1 .. f6      texts with few distinct values (they become factors)
#   t1 .. t6      texts with many distinct values (too many for a factor)
# About 5% of every column but id is NULL; some texts carry trailing blanks
# (fixed-width padding) and a few carry non-ASCII letters. One statement a
# line (ended by ";"), 100 rows to an INSERT. Deterministic: the same file every time.
#
#   generate_fetch_data.sh [ROWS] [sqlite|postgres|mariadb] > fetch_data.sql
set -euo pipefail
rows=${1:-50400}
dialect=${2:-sqlite}
case "$dialect" in
  sqlite | postgres) timestamp=timestamp ;;
  # A MariaDB TIMESTAMP is limited to 1970..2038 and updates itself.
  mariadb) timestamp=datetime ;;
  *) echo "unknown dialect $dialect" >&2; exit 2 ;;
esac
awk -v rows="$rows" -v timestamp="$timestamp" 'BEGIN {
  cols = "id integer"
  for (i = 1; i <= 20; i++) cols = cols ", n" i " double precision"
  for (i = 1; i <= 6; i++) cols = cols ", ts" i " " timestamp
  for (i = 1; i <= 6; i++) cols = cols ", f" i " varchar(40)"
  for (i = 1; i <= 6; i++) cols = cols ", t" i " varchar(40)"
  split("north,south,east,west,Zürich,Malmö,harbour,old town,centre,airport,hills,coast", places, ",")
  print "DROP TABLE IF EXISTS fetch_bench;"
  print "CREATE TABLE fetch_bench (" cols ");"
  # The minimal standard generator: its products stay exact in doubles.
  seed = 12345
  line = ""
  for (r = 1; r <= rows; r++) {
    v = r
    for (i = 1; i <= 20; i++) {
      seed = (seed * 16807) % 2147483647
      if (seed % 20 == 0) { v = v ", NULL"; continue }
      # Half the columns hold whole numbers (counts), half fractions.
      if (i % 2 == 0) v = v ", " (seed % 100000)
      else v = v ", " sprintf("%.6f", (seed % 2000000) / 1000.0 - 1000.0)
    }
    for (i = 1; i <= 6; i++) {
      seed = (seed * 16807) % 2147483647
      if (seed % 20 == 0) { v = v ", NULL"; continue }
      v = v sprintf(", '\''%04d-%02d-%02d %02d:%02d:%02d'\''", 1990 + seed % 30,
                    1 + seed % 12, 1 + seed % 28, seed % 24, seed % 60, int(seed / 7) % 60)
    }
    for (i = 1; i <= 6; i++) {
      seed = (seed * 16807) % 2147483647
      if (seed % 20 == 0) { v = v ", NULL"; continue }
      word = places[1 + seed % (2 * i)] " " (seed % 3)
      if (seed % 7 == 0) word = word "   "
      v = v ", '\''" word "'\''"
    }
    for (i = 1; i <= 6; i++) {
      seed = (seed * 16807) % 2147483647
      if (seed % 20 == 0) { v = v ", NULL"; continue }
      word = sprintf("item %d of group %d", seed % 100000, i)
      if (seed % 7 == 0) word = word "   "
      v = v ", '\''" word "'\''"
    }
    line = (line == "") ? "INSERT INTO fetch_bench VALUES (" v ")" : line ", (" v ")"
    if (r % 100 == 0 || r == rows) { print line ";"; line = "" }
  }
}'
