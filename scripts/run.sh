#!/usr/bin/env bash
# Sets up the machine, builds the console and runs it from its installation folder
# (build/bin: data/, log/ and res/ are resolved against it). ZOX_EDITION=CN builds and
# runs the Chinese-language program instead, from build-cn/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
edition="${ZOX_EDITION:-EN}"
case "$edition" in
  EN) build=build ;;
  CN) build=build-cn ;;
  *) echo "run: ZOX_EDITION must be EN or CN" >&2; exit 2 ;;
esac
cmake -S . -B "$build" -G Ninja -DZOX_EDITION="$edition" >/dev/null
cmake --build "$build" -j "$(nproc)"
bash scripts/db.sh || echo "run: the database is not ready (see above); the console will report it" >&2
cd "$build/bin"
mkdir -p data log
for f in zoxcfg.ini cmsserver.ini uapapi.ini; do
  [ -f "data/$f" ] || cp "../../data/$f" "data/$f"
done
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  exec xvfb-run -a ./ZoxClient
fi
exec ./ZoxClient
