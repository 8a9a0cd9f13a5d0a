#!/usr/bin/env bash
# Cross-builds gel2querna.exe with MinGW-w64 in build/windows, runs the
# end-to-end cases and the example scripts against it under Wine, and makes
# the ZIP build/windows/gel2querna-VERSION-win64.zip. Prints the time of each
# step. The Wine prefix is build/wine unless WINEPREFIX names another.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
step_start=$SECONDS
step() {  # prints the time of the step that just ended
  echo "-- $1: $((SECONDS - step_start)) s"
  step_start=$SECONDS
}

scripts/setup.sh windows
step "install (when missing)"

scripts/build.sh build/windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
step "build"

export WINEPREFIX=${WINEPREFIX:-$root/build/wine} WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || { echo "wineboot failed for $WINEPREFIX" >&2; exit 1; }
fi
# One Wine server for all the runs (in place of whichever one is running),
# ended when the tests are done.
wineserver -k 2>/dev/null || true
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
step "Wine prefix"

(cd build/windows && ctest --output-on-failure -j "$(nproc)")
# What Wine cannot run is skipped, and says why.
(cd build/windows && ctest -L wine_skip -V 2>/dev/null | grep -v 'Test command' | grep 'skipped under Wine:' | sed 's/^[0-9]*: //') || true
step "tests under Wine"

(cd build/windows && cpack >/dev/null && ls gel2querna-*-win64.zip)
step "ZIP"
