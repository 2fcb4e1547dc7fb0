#!/usr/bin/env bash
# Starts or stops a throw-away database server for the driver tests.
#
#   server_fixture.sh start postgres|mariadb STATE_DIR
#   server_fixture.sh stop  postgres|mariadb STATE_DIR
#
# "start" makes a private data folder under /tmp, starts the server on a free
# loopback port and writes STATE_DIR/<kind>.conn: one line, the ODBC
# connection string the tests use (it names the driver registered in the
# private odbcinst.ini of the build tree, nothing is registered system-wide).
# When the server cannot be started, CI (CI=true) fails the run; elsewhere the
# reason goes to STATE_DIR/<kind>.skip and the tests report themselves skipped.
# "stop" stops the server and removes its data folder.
set -u

action=${1:?action}
kind=${2:?kind}
state=${3:?state dir}
mkdir -p "$state"
conn="$state/$kind.conn"
skip="$state/$kind.skip"
info="$state/$kind.server"

give_up() {
  echo "$kind server not available: $1" >&2
  [ -n "${log:-}" ] && [ -f "$log" ] && tail -n 20 "$log" >&2
  if [ "${CI:-}" = "true" ]; then
    exit 1
  fi
  echo "$kind server not available: $1" >"$skip"
  exit 0
}

free_port() {
  perl -MIO::Socket::INET -e \
    '$s = IO::Socket::INET->new(Listen => 1, LocalAddr => "127.0.0.1", LocalPort => 0) or exit 1; print $s->sockport, "\n"'
}

# Commands run as an unprivileged user when we are root (the servers refuse
# to run as root, and CI runs the tests as root).
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u "$owner" -- "$@"
  else
    "$@"
  fi
}

# A server's owner (account $1 as root, else whoever runs the tests), its
# own data folder /tmp/vodbc-$2.*, its log and a free port.
prepare_server() {
  owner=$1
  [ "$(id -u)" -eq 0 ] || owner=$(id -un)
  id "$owner" >/dev/null 2>&1 || give_up "no user $owner to run the server"
  dir=$(mktemp -d "/tmp/vodbc-$2.XXXXXX") || give_up "no temporary folder"
  if [ "$(id -u)" -eq 0 ]; then chown "$owner" "$dir"; fi
  log="$dir/server.log"
  port=$(free_port) || give_up "no free port"
}

start_postgres() {
  bin=/usr/lib/postgresql/15/bin
  [ -x "$bin/initdb" ] || bin=$(dirname "$(command -v initdb 2>/dev/null || echo /none/initdb)")
  [ -x "$bin/initdb" ] || give_up "initdb not found"
  prepare_server postgres pg
  as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 \
      --locale=C >"$dir/initdb.log" 2>&1 || { log="$dir/initdb.log"; give_up "initdb failed"; }
  as_owner "$bin/pg_ctl" -D "$dir/data" -l "$log" -w -t 60 \
      -o "-c listen_addresses=127.0.0.1 -p $port -c unix_socket_directories=$dir -c fsync=off" \
      start >/dev/null 2>&1 || give_up "pg_ctl start failed"
  printf 'dir=%s\nbin=%s\nowner=%s\n' "$dir" "$bin" "$owner" >"$info"
  echo "Driver={PostgreSQL ANSI};Servername=127.0.0.1;Port=$port;Database=postgres;Username=postgres;Password=;" >"$conn"
}

stop_postgres() {
  [ -f "$info" ] || return 0
  . "$info"
  as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
  rm -rf "$dir"
}

start_mariadb() {
  command -v mariadbd >/dev/null 2>&1 || [ -x /usr/sbin/mariadbd ] || give_up "mariadbd not found"
  mariadbd=$(command -v mariadbd || echo /usr/sbin/mariadbd)
  prepare_server mysql maria
  as_owner mariadb-install-db --no-defaults --datadir="$dir/data" \
      --auth-root-authentication-method=normal --skip-test-db \
      >"$dir/install.log" 2>&1 || { log="$dir/install.log"; give_up "mariadb-install-db failed"; }
  as_owner "$mariadbd" --no-defaults --datadir="$dir/data" \
      --bind-address=127.0.0.1 --port="$port" --socket="$dir/mysqld.sock" \
      --pid-file="$dir/mysqld.pid" --skip-grant-tables --log-error="$log" \
      --character-set-server=utf8mb4 --collation-server=utf8mb4_general_ci \
      --innodb-buffer-pool-size=16M --skip-log-bin >/dev/null 2>&1 &
  for _ in $(seq 1 120); do
    if [ -S "$dir/mysqld.sock" ] && [ -f "$dir/mysqld.pid" ]; then
      break
    fi
    sleep 0.5
  done
  [ -S "$dir/mysqld.sock" ] || give_up "mariadbd did not start"
  printf 'dir=%s\n' "$dir" >"$info"
  # One database for the tests' own tables.
  mariadb --no-defaults -S "$dir/mysqld.sock" -u root -e 'CREATE DATABASE IF NOT EXISTS vodbc' \
      >/dev/null 2>&1 || give_up "could not create the test database"
  echo "Driver={MariaDB Unicode};Server=127.0.0.1;Port=$port;Database=vodbc;User=root;Password=;CHARSET=utf8mb4;" >"$conn"
}

stop_mariadb() {
  [ -f "$info" ] || return 0
  . "$info"
  if [ -f "$dir/mysqld.pid" ]; then
    pid=$(cat "$dir/mysqld.pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 1 60); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.5
    done
    kill -9 "$pid" 2>/dev/null
  fi
  rm -rf "$dir"
}

case "$action" in
  start)
    # A server left by an interrupted run (its cleanup never ran) is
    # stopped before a new one takes its place.
    [ -f "$info" ] && "stop_$kind"
    rm -f "$conn" "$skip" "$info"
    "start_$kind"
    ;;
  stop)
    "stop_$kind"
    rm -f "$conn" "$skip" "$info"
    ;;
  *)
    echo "usage: $0 start|stop postgres|mariadb STATE_DIR" >&2
    exit 2
    ;;
esac
exit 0
