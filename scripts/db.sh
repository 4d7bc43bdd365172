#!/usr/bin/env bash
# The console's database: makes sure a MariaDB server answers on localhost:3306 with
# database zox_client, the console's user and its tables. When no server answers, a
# private one is started with its data under run/mariadb/ (it keeps running after the
# console ends and is reused by the next run). Idempotent.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
PRIVATE="$ROOT/run/mariadb"
HELPER="$ROOT/scripts/mariadb-private.sh"

answers() { (exec 3<>/dev/tcp/127.0.0.1/3306) 2>/dev/null; }

pid=""
[ -s "$PRIVATE/mariadbd.pid" ] && pid=$(cat "$PRIVATE/mariadbd.pid")
if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
  # Our private server from an earlier run: bring its tables up to date.
  bash "$HELPER" start "$PRIVATE" 3306
elif answers; then
  # Another server (e.g. the system's): add the database, user and tables when root
  # may log in through its socket; otherwise they must have been installed beforehand.
  sock=/run/mysqld/mysqld.sock
  if [ -S "$sock" ] && bash "$HELPER" provision "$sock" 2>/dev/null; then
    echo "db: database zox_client ready on the server at localhost:3306"
  else
    echo "db: a server answers on localhost:3306, but database zox_client could not be set up;" \
         "load db/zox_client.sql into it and create user zox_client (see README)" >&2
  fi
else
  bash "$HELPER" start "$PRIVATE" 3306
fi
