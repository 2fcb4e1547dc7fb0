#!/usr/bin/env bash
# Builds the benchmark's table in SQLite and in a throw-away PostgreSQL and
# prints the fetch / floor ratio for each.
#
#   bench/fetch/run_fetch_bench.sh BUILD_DIR
set -euo pipefail
build=${1:?build directory}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/vodbc-fetch-bench.XXXXXX)
trap '"$here/../../tests/support/servers/server_fixture.sh" stop postgres "$work" >/dev/null 2>&1; rm -rf "$work"' EXIT

"$here/generate_fetch_data.sh" >"$work/data.sql"
export ODBCSYSINI="$build/odbc-env" ODBCINI="$build/odbc-env/odbc.ini"
args=("SQLite=Driver={SQLite3};Database=$work/bench.db;")
if "$here/../../tests/support/servers/server_fixture.sh" start postgres "$work" &&
   [ -f "$work/postgres.conn" ]; then
  args+=("PostgreSQL=$(cat "$work/postgres.conn")")
else
  echo "PostgreSQL not available: measuring SQLite only" >&2
fi
"$build/bin/vodbc_bench_fetch" "$work/data.sql" "${args[@]}"
