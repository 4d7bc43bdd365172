#!/usr/bin/env bash
# Registers the MariaDB ODBC driver under the driver name of the console's default
# connection string, so that the string works unchanged on this platform.
set -euo pipefail
NAME="MySQL ODBC 8.0 Unicode Driver"
LIB=$(ls /usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so 2>/dev/null || true)
[ -n "$LIB" ] || { echo "setup: MariaDB ODBC driver not found" >&2; exit 1; }
if ! odbcinst -q -d -n "$NAME" >/dev/null 2>&1; then
  tmp=$(mktemp)
  printf '[%s]\nDescription=MariaDB Connector/ODBC\nDriver=%s\nUsageCount=1\n' "$NAME" "$LIB" > "$tmp"
  odbcinst -i -d -f "$tmp" >/dev/null
  rm -f "$tmp"
fi
