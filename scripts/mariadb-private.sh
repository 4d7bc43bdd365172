#!/usr/bin/env bash
# A private MariaDB server whose data, socket, pid file and log live in one folder.
#
#   mariadb-private.sh start DIR [PORT] [--test] [--fresh]
#       Starts the server (creating its data on first use) on 127.0.0.1:PORT, or on a
#       free port when PORT is omitted, then creates database zox_client, the user
#       zox_client (at localhost and 127.0.0.1) and the tables of db/zox_client.sql.
#       --test: the user may also create and drop databases (one per test), and
#       commits are not flushed to disk one by one (test data is thrown away).
#       --fresh: a server left running from DIR is stopped and its data removed first.
#       Writes DIR/port and DIR/connection.txt (the ODBC connection string).
#       A server already running from DIR is reused.
#   mariadb-private.sh stop DIR
#       Stops the server named by DIR/mariadbd.pid and waits for it to end.
#   mariadb-private.sh provision SOCKET [--test]
#       Only the database, user and tables, on a server reached through SOCKET as root.
#
# Every wait is bounded; the exit status is 0 on success.
set -euo pipefail

ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SCHEMA="$ROOT/db/zox_client.sql"
DRIVER="MySQL ODBC 8.0 Unicode Driver"
DB_NAME="zox_client"
DB_USER="zox_client"
DB_PASS="5869.wxyz"

log() { echo "mariadb-private: $*" >&2; }

alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null; }

pid_of() { [ -s "$1/mariadbd.pid" ] && cat "$1/mariadbd.pid" || true; }

port_busy() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# The administrator account: root on a system server; on a private server the
# account of the user who created it (mariadb-install-db makes it, socket login).
ADMIN="root"

provision() {
  local sock="$1" test="${2:-}"
  local grants="GRANT ALL PRIVILEGES ON \`$DB_NAME\`.* TO '$DB_USER'@'127.0.0.1';
GRANT ALL PRIVILEGES ON \`$DB_NAME\`.* TO '$DB_USER'@'localhost';"
  if [ "$test" = "--test" ]; then
    grants="GRANT ALL PRIVILEGES ON *.* TO '$DB_USER'@'127.0.0.1';
GRANT ALL PRIVILEGES ON *.* TO '$DB_USER'@'localhost';"
  fi
  timeout 60 mariadb --no-defaults --socket="$sock" -u"$ADMIN" --default-character-set=utf8mb4 <<SQL
CREATE DATABASE IF NOT EXISTS \`$DB_NAME\` CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;
CREATE USER IF NOT EXISTS '$DB_USER'@'127.0.0.1' IDENTIFIED BY '$DB_PASS';
CREATE USER IF NOT EXISTS '$DB_USER'@'localhost' IDENTIFIED BY '$DB_PASS';
$grants
FLUSH PRIVILEGES;
SQL
  timeout 60 mariadb --no-defaults --socket="$sock" -u"$ADMIN" --default-character-set=utf8mb4 "$DB_NAME" < "$SCHEMA"
}

wait_ready() { # socket pid
  local i
  for i in $(seq 1 300); do
    if ! alive "$2"; then return 1; fi
    if timeout 5 mariadb-admin --no-defaults --socket="$1" -u"$ADMIN" --connect-timeout=2 ping >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

stop_server() {
  local dir="$1" pid i
  pid=$(pid_of "$dir")
  if alive "$pid"; then
    kill -TERM "$pid" 2>/dev/null || true
    for i in $(seq 1 300); do alive "$pid" || break; sleep 0.1; done
    if alive "$pid"; then
      log "server $pid did not stop in 30 s, killing it"
      kill -KILL "$pid" 2>/dev/null || true
      for i in $(seq 1 50); do alive "$pid" || break; sleep 0.1; done
    fi
  fi
  rm -f "$dir/mariadbd.pid"
}

start_server() {
  local dir="$1" want_port="$2" test="$3"
  ADMIN="$(id -un)"
  mkdir -p "$dir"
  dir="$(cd "$dir" && pwd)"
  local sock="$dir/mysqld.sock"
  if [ ${#sock} -gt 100 ]; then
    # Unix socket paths are limited to 107 bytes.
    if [ -s "$dir/socket" ]; then sock=$(cat "$dir/socket"); else sock="$(mktemp -d /tmp/zoxdb.XXXXXX)/mysqld.sock"; fi
  fi
  echo "$sock" > "$dir/socket"

  local pid port
  pid=$(pid_of "$dir")
  if alive "$pid" && wait_ready "$sock" "$pid"; then
    port=$(cat "$dir/port")
  else
    rm -f "$dir/mariadbd.pid"
    if [ ! -d "$dir/data/mysql" ]; then
      rm -rf "$dir/data"
      local user_opt=() small=()
      [ "$(id -u)" -eq 0 ] && user_opt=(--user=root)
      [ "$test" = "--test" ] && small=(--innodb-log-file-size=16M)
      timeout 120 mariadb-install-db --no-defaults "${user_opt[@]}" "${small[@]}" --datadir="$dir/data" \
        --skip-test-db --auth-root-authentication-method=socket >"$dir/install.log" 2>&1 \
        || { log "mariadb-install-db failed (see $dir/install.log)"; return 1; }
    fi
    local attempt
    for attempt in $(seq 1 20); do
      if [ -n "$want_port" ]; then
        port="$want_port"
      else
        port=$(( 20000 + (RANDOM * 32768 + RANDOM) % 40000 ))
        port_busy "$port" && continue
      fi
      local user_opt=()
      [ "$(id -u)" -eq 0 ] && user_opt=(--user=root)
      local durability=()
      # Test servers: commits are not flushed one by one, and no kernel AIO contexts are
      # taken (many servers at once exhaust fs.aio-max-nr, and then a server fails to start).
      [ "$test" = "--test" ] && durability=(--innodb-flush-log-at-trx-commit=2 --innodb-log-file-size=16M
                                           --innodb-use-native-aio=0)
      : > "$dir/error.log"
      mariadbd --no-defaults "${user_opt[@]}" --datadir="$dir/data" --socket="$sock" \
        --port="$port" --bind-address=127.0.0.1 --skip-name-resolve \
        --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci \
        --pid-file="$dir/mariadbd.pid" --log-error="$dir/error.log" \
        --innodb-buffer-pool-size=64M --max-connections=200 "${durability[@]}" \
        </dev/null >/dev/null 2>&1 &
      pid=$!
      if wait_ready "$sock" "$pid"; then
        echo "$pid" > "$dir/mariadbd.pid"
        break
      fi
      kill -KILL "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
      pid=""
      if [ -n "$want_port" ] || ! grep -qi "bind" "$dir/error.log"; then
        log "server did not start (see $dir/error.log)"
        return 1
      fi
    done
    alive "$pid" || { log "no free port found"; return 1; }
    echo "$port" > "$dir/port"
  fi
  provision "$sock" "$test"
  printf 'DRIVER={%s};SERVER=%s;PORT=%d;DATABASE=%s;USER=%s;PASSWORD=%s;OPTION=3;\n' \
    "$DRIVER" 127.0.0.1 "$port" "$DB_NAME" "$DB_USER" "$DB_PASS" > "$dir/connection.txt"
  log "ready on 127.0.0.1:$port (pid $(pid_of "$dir"), data in $dir)"
}

cmd="${1:-}"
case "$cmd" in
  start)
    dir="${2:?folder}"; shift 2
    port=""; test=""; fresh=""
    for a in "$@"; do
      case "$a" in
        --test) test="--test" ;;
        --fresh) fresh=1 ;;
        *) port="$a" ;;
      esac
    done
    if [ -n "$fresh" ]; then
      stop_server "$dir"
      rm -rf "$dir/data"
    fi
    start_server "$dir" "$port" "$test" ;;
  stop) stop_server "${2:?folder}" ;;
  provision) provision "${2:?socket}" "${3:-}" ;;
  *) echo "usage: $0 start DIR [PORT] [--test] [--fresh] | stop DIR | provision SOCKET [--test]" >&2; exit 2 ;;
esac
