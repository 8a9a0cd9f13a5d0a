#!/usr/bin/env bash
# A run stopped by SIGTERM or SIGINT removes its working directory and leaves
# no output file; two runs at once in one temporary directory do not disturb
# each other.
set -u
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp"
cd "$work"
fail=0

for sig in TERM INT; do
  rm -f in.fifo out.cmm; mkfifo in.fifo
  # Opening a FIFO blocks until a writer comes: the run waits inside stage 1.
  TMPDIR=$work/tmp "$bin" in.fifo out.cmm 2>/dev/null &
  pid=$!
  for _ in $(seq 50); do
    [ -n "$(ls "$work/tmp")" ] && break
    sleep 0.05
  done
  [ -n "$(ls "$work/tmp")" ] || { echo "no working directory was made"; fail=1; }
  kill -s "$sig" "$pid"
  wait "$pid" 2>/dev/null
  left=$(ls -A "$work/tmp")
  if [ -n "$left" ]; then echo "SIG$sig left the working directory behind: $left"; fail=1; fi
  if [ -e out.cmm ]; then echo "SIG$sig left an output file"; fail=1; fi
done

# Two runs at once, each in its own folder with the same output name (the
# name of the output file is part of the script).
printf 'StartUp()\n{\n    GEL_Go(main);\n}\n' > a.gel
printf 'OnReset(int n)\n{\n    GEL_Halt();\n}\n' > b.gel
mkdir -p ref
(cd ref && TMPDIR=$work/tmp "$bin" ../a.gel a.cmm 2>/dev/null; TMPDIR=$work/tmp "$bin" ../b.gel b.cmm 2>/dev/null)
for i in 1 2 3 4 5; do
  mkdir -p "p$i"
  (cd "p$i" && TMPDIR=$work/tmp "$bin" ../a.gel a.cmm 2>/dev/null) &
  (cd "p$i" && TMPDIR=$work/tmp "$bin" ../b.gel b.cmm 2>/dev/null) &
done
wait
for i in 1 2 3 4 5; do
  cmp -s ref/a.cmm "p$i/a.cmm" || { echo "parallel run $i of a.gel differs"; fail=1; }
  cmp -s ref/b.cmm "p$i/b.cmm" || { echo "parallel run $i of b.gel differs"; fail=1; }
done
left=$(ls -A "$work/tmp")
[ -z "$left" ] || { echo "runs left working directories: $left"; fail=1; }


exit $fail
