#!/usr/bin/env bash
# Windows paths (run in the Windows tree only, under Wine): an output path
# written with backslashes, or with a drive letter, gives the same file and
# the same path macro as the one written with slashes; an input named with
# backslashes is read; the same file under another spelling is recognised.
set -u
bin=$1
read -r -a runner <<< "${RUNNER:-wine}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/sub"
cd "$work"
printf 'StartUp()\n{\n  GEL_Go(main);\n}\n' > sub/in.gel
fail=0

# run NAME EXPECTED_STATUS ARGUMENTS...: standard output and error in NAME.out
run() {
  local name=$1 expected=$2 status=0
  shift 2
  timeout 20 "${runner[@]}" "$bin" "$@" > "$name.out" 2>&1 < /dev/null || status=$?
  if [ "$status" != "$expected" ]; then
    echo "--- $name: exit status $status, expected $expected"; cat "$name.out"; fail=1
  fi
}

run slashes 0 sub/in.gel sub/out.cmm
mv sub/out.cmm slashes.cmm
grep -q '^GLOBAL &path_out_cmm$' slashes.cmm || { echo "--- no path macro &path_out_cmm:"; head -5 slashes.cmm; fail=1; }
if grep -q $'\r' slashes.cmm; then echo "--- the output has CR bytes"; fail=1; fi

run backslashes 0 'sub\in.gel' 'sub\out.cmm'
cmp -s slashes.cmm sub/out.cmm || { echo "--- backslashes give another output:"; diff slashes.cmm sub/out.cmm; fail=1; }
rm -f sub/out.cmm

drive_path=$(winepath -w "$work/sub/out.cmm" 2>/dev/null)
case "$drive_path" in
  [A-Za-z]:\\*) ;;
  *) echo "--- winepath gave no drive path: $drive_path"; fail=1 ;;
esac
run drive_letter 0 'sub\in.gel' "$drive_path"
cmp -s slashes.cmm sub/out.cmm || { echo "--- a drive letter gives another output:"; diff slashes.cmm sub/out.cmm; fail=1; }

cp sub/in.gel sub/same.gel
run same_file 1 'sub\same.gel' './SUB/Same.gel'
grep -q '^Input and output file must differ\.$' same_file.out || { echo "--- the same file was not recognised:"; cat same_file.out; fail=1; }
cmp -s sub/in.gel sub/same.gel || { echo "--- the input was overwritten"; fail=1; }

[ "$fail" = 0 ] && echo "ok windows_paths"
exit $fail
