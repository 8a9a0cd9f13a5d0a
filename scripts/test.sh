#!/usr/bin/env bash
# Builds the release tree, the sanitizer tree and the Windows tree and runs
# every test in each, then a bounded fuzzing campaign. The test targets are built whatever an
# earlier command configured (scripts/convert-example.sh turns them off), and
# a run that finds no tests fails.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)

echo "== release build"
scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DGEL2QUERNA_TESTS=ON
(cd build/release && ctest --no-tests=error --output-on-failure -j "$jobs")

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGEL2QUERNA_SANITIZE=ON -DGEL2QUERNA_TESTS=ON
(cd build/asan && ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 STRESS_SLOWDOWN=6 \
   ctest --no-tests=error --output-on-failure -j "$jobs")

echo "== Windows build (MinGW-w64), tests under Wine"
scripts/test-windows.sh

echo "== fuzzing campaign (libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer, fixed seed)"
if command -v clang++ >/dev/null 2>&1; then
  # Five targets of FUZZ_SECONDS each, from the seeds alone. The whole-run
  # target checks every script it writes with the output checker
  # (FUZZ_CHECK_OUTPUT=baseline, see fuzz/fuzz_conversion.cpp).
  FUZZ_FRESH=1 FUZZ_CHECK_OUTPUT=${FUZZ_CHECK_OUTPUT:-baseline} fuzz/run.sh "${FUZZ_SECONDS:-45}" 1
else
  echo "clang++ not found: fuzzing campaign skipped"
fi
