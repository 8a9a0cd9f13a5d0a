#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for a bounded time with a fixed
# seed, after replaying its regression inputs (fuzz/regressions/<target>/).
#   fuzz/run.sh [seconds per target] [seed] [target...]
# Defaults: 60 s, seed 1, every target. The corpus grows in fuzz/out/<target>/
# from one campaign to the next; FUZZ_FRESH=1 starts from the seeds alone (CI).
# The converter's own diagnostics are not printed: each target's log is kept in
# build/fuzz/logs/<target>.log and one line per target is printed; a finding
# prints the end of its log and the file that reproduces it.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
seed=${2:-1}
shift $(($# < 2 ? $# : 2))
all=(fuzz_preprocess fuzz_parse fuzz_condition fuzz_passes fuzz_conversion)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all[@]}"); fi

"$root/scripts/setup.sh"
build=$root/build/fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGEL2QUERNA_FUZZ=ON -DGEL2QUERNA_TESTS=OFF >/dev/null
# The build is quiet unless it fails.
if ! cmake --build "$build" --target "${targets[@]}" -j "$(nproc)" > "$build/build.log" 2>&1; then
  tail -n 40 "$build/build.log"
  echo "fuzz targets did not build"
  exit 1
fi

# Seeds: the GEL scripts beside the project; texts of conditions and
# expressions, one per line, for the rewriting targets.
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds/gel" "$seeds/conversion" "$seeds/expressions"
i=0
while IFS= read -r -d '' f; do
  i=$((i + 1))
  cp "$f" "$seeds/gel/seed$i"
  { printf '\0'; cat "$f"; } > "$seeds/conversion/seed$i"  # first byte: the options
done < <(find "$root/tests/e2e/cases" "$root/examples" "$root/../shared/corpus/gel" \
           -type f \( -name '*.gel' -o -name '*.GEL' \) -size -200k -print0 2>/dev/null)
mkdir -p "$seeds/passes"
i=0
while IFS= read -r line; do
  i=$((i + 1))
  printf '%s' "$line" > "$seeds/expressions/seed$i"
  for pass in $(seq 0 17); do  # first byte: the pass
    { printf "\\x$(printf %02x "$pass")"; printf '%s' "$line"; } > "$seeds/passes/seed$i-$pass"
  done
done < "$root/fuzz/expressions.txt"

status=0
mkdir -p "$build/logs"
for target in "${targets[@]}"; do
  options=(-max_len=16384)
  seed_dir=$seeds/gel
  case $target in
    fuzz_conversion) options=(-max_len=262144); seed_dir=$seeds/conversion ;;
    fuzz_condition) options=(-max_len=4096 -dict="$root/fuzz/expressions.dict"); seed_dir=$seeds/expressions ;;
    fuzz_passes) options=(-max_len=256 -dict="$root/fuzz/expressions.dict"); seed_dir=$seeds/passes ;;
  esac
  out=$root/fuzz/out/$target
  corpus=$out/corpus
  [ "${FUZZ_FRESH:-0}" = 1 ] && corpus=$build/corpus/$target && rm -rf "$corpus"
  mkdir -p "$corpus" "$out/artifacts"
  log=$build/logs/$target.log
  env=(ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)

  regressions=()
  if [ -d "$root/fuzz/regressions/$target" ]; then
    mapfile -t regressions < <(find "$root/fuzz/regressions/$target" -type f | sort)
  fi
  if [ ${#regressions[@]} -gt 0 ] &&
     ! (cd "$build" && env "${env[@]}" "./$target" -timeout=10 -close_fd_mask=3 "${options[@]}" \
          "${regressions[@]}") > "$log" 2>&1; then
    echo "$target: a regression input fails again"
    tail -n 40 "$log"
    status=1
    continue
  fi

  # The machine may be shared: the rate per second of processor time is
  # printed beside the rate per second of wall time.
  TIMEFORMAT='%U %S'
  if { time (cd "$build" && env "${env[@]}" "./$target" -seed="$seed" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=4096 -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$out/artifacts/" \
        "${options[@]}" "$corpus" "$seed_dir" > "$log" 2>&1); } 2> "$log.time"; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/.* exec\/s: \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    cpu=$(awk '{ print $1 + $2 }' "$log.time")
    cpu_rate=$(awk -v n="${runs:-0}" -v t="$cpu" 'BEGIN { if (t > 0) printf "%d", n / t; else print "?" }')
    echo "$target: ${runs:-?} inputs in ${seconds} s (${rate:-?} inputs/s; ${cpu} s of processor time, ${cpu_rate} inputs per processor second), no finding"
  else
    echo "$target: FINDING (log: $log)"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
