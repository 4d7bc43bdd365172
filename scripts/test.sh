#!/usr/bin/env bash
# Sets up the machine, builds the console three times (normal; the window-free part with
# AddressSanitizer + UndefinedBehaviorSanitizer; the Chinese-language program with the
# tests of what differs in it) and runs every test.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build-asan -G Ninja -DZOX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null || exit 1
cmake --build build-asan -j "$jobs" || exit 1
cmake -S . -B build -G Ninja >/dev/null || exit 1
cmake --build build -j "$jobs" || exit 1
cmake -S . -B build-cn -G Ninja -DZOX_EDITION=CN "-DZOX_TEST_GROUPS=edition_cn;console" >/dev/null || exit 1
cmake --build build-cn -j "$jobs" || exit 1

echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer =="
(cd build-asan && ctest --output-on-failure -j "$jobs")
asan=$?
echo "== tests =="
(cd build && ctest --output-on-failure -j "$jobs")
main=$?
echo "== tests of the Chinese-language build =="
(cd build-cn && ctest --output-on-failure -j "$jobs")
cn=$?
[ $asan -eq 0 ] && [ $main -eq 0 ] && [ $cn -eq 0 ]
