#!/usr/bin/env bash
# Each example script converts to the output checked in beside it
# (examples/NAME.cmm, the diagnostics in examples/NAME.stderr, the register
# report in examples/NAME.cmm.regs). With UPDATE=1 the checked-in files are
# rewritten instead.
set -u
bin=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp"
# RUNNER: see tests/e2e/run_case.sh.
read -r -a runner <<< "${RUNNER:-}"
tmp_env=("TMPDIR=$work/tmp")
[ ${#runner[@]} -gt 0 ] && tmp_env=()
fail=0
for gel in "$src"/examples/*.gel; do
  name=$(basename "$gel" .gel)
  rm -rf "$work/run"; mkdir "$work/run"
  cp "$gel" "$work/run/"
  if [ -f "$src/examples/$name.args" ]; then
    read -r -a args < "$src/examples/$name.args"
  else
    args=("$name.gel" "$name.cmm")
  fi
  (cd "$work/run" && env "${tmp_env[@]}" "${runner[@]}" "$bin" "${args[@]}" > "$work/stdout" 2> "$work/stderr")
  status=$?
  if [ "$status" != 0 ]; then echo "$name: exit status $status"; fail=1; fi
  for f in "$name.cmm" "$name.cmm.regs"; do
    if [ "${UPDATE:-0}" = 1 ]; then
      [ -f "$work/run/$f" ] && cp "$work/run/$f" "$src/examples/$f"
    elif [ -f "$src/examples/$f" ] && ! cmp -s "$src/examples/$f" "$work/run/$f"; then
      echo "$name: $f differs from the checked-in file:"; diff -u "$src/examples/$f" "$work/run/$f" | head -30
      fail=1
    fi
  done
  if [ "${UPDATE:-0}" = 1 ]; then
    if [ -s "$work/stderr" ]; then cp "$work/stderr" "$src/examples/$name.stderr"; else rm -f "$src/examples/$name.stderr"; fi
  else
    expected=/dev/null; [ -f "$src/examples/$name.stderr" ] && expected=$src/examples/$name.stderr
    cmp -s "$expected" "$work/stderr" || { echo "$name: diagnostics differ:"; diff -u "$expected" "$work/stderr"; fail=1; }
    [ -f "$src/examples/$name.cmm" ] || { echo "$name: no checked-in output"; fail=1; }
  fi
done
exit $fail
