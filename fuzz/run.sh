#!/usr/bin/env bash
# Builds the fuzzing harness with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs a campaign over a seed corpus made of the
# end-to-end inputs and the real scripts beside the project.
#   fuzz/run.sh [seconds] [seed]     (defaults: 60 s, seed 1)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
seed=${2:-1}
"$root/scripts/setup.sh"
build=$root/build/fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGEL2QUERNA_FUZZ=ON -DGEL2QUERNA_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz_conversion -j "$(nproc)"

seeds=$build/seeds
rm -rf "$seeds"; mkdir -p "$seeds"
i=0
while IFS= read -r -d '' f; do
  i=$((i + 1))
  { printf '\0'; cat "$f"; } > "$seeds/seed$i"
done < <(find "$root/tests/e2e/cases" "$root/examples" "$root/../shared/corpus/gel" \
           -type f \( -name '*.gel' -o -name '*.GEL' \) -size -200k -print0 2>/dev/null)
echo "seed corpus: $i files"

corpus=$root/fuzz/out/corpus
artifacts=$root/fuzz/out/artifacts/
mkdir -p "$corpus" "$artifacts"
cd "$build"
ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ./fuzz_conversion -seed="$seed" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  -max_len=262144 -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" "$seeds"
