#!/usr/bin/env bash
# Runs the program from a scratch directory with targets.def files of its own
# beside it or in its parent directory, and checks the messages, the exit
# status and the cleaned copy.
set -u
bin=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/bin" "$root/work" "$root/tmp"
program=$root/bin/$(basename "$bin")
cp "$bin" "$program"
printf 'Test()\n{\n}\n' > "$root/work/input.gel"
# RUNNER: see tests/e2e/run_case.sh. Under Wine the program names the files by
# their Windows paths.
read -r -a runner <<< "${RUNNER:-}"
tmp_env=("TMPDIR=$root/tmp")
beside=$root/bin/targets.def
parent=$root/bin/../targets.def
beside_shown=$beside
parent_shown=$parent
if [ ${#runner[@]} -gt 0 ]; then
  tmp_env=()
  windows_bin=$(winepath -w "$root/bin" 2>/dev/null)
  beside_shown="$windows_bin\\targets.def"
  parent_shown="$windows_bin\\..\\targets.def"
fi
fail=0

# check NAME STATUS EXPECTED_STDOUT OPTION...
check() {
  local name=$1 status=$2 expected=$3
  shift 3
  local out rc=0
  out=$(cd "$root/work" && env "${tmp_env[@]}" timeout 20 "${runner[@]}" "$program" "$@" input.gel out.cmm </dev/null 2>"$root/stderr"; echo "rc=$?")
  rc=${out##*rc=}
  out=${out%rc=*}
  if [ "$out" != "$expected" ] || [ "$rc" != "$status" ]; then
    echo "--- $name: status $rc (expected $status), standard output:"
    printf '%s' "$out"
    echo "--- expected:"
    printf '%s' "$expected"
    fail=1
  fi
  if [ "$status" != 0 ] && [ -e "$root/work/out.cmm" ]; then
    echo "--- $name: output file written"
    fail=1
  fi
  rm -f "$root/work/out.cmm" "$root/work/out.cmm.regs"
}

# check_file NAME PATH EXPECTED_CONTENT
check_file() {
  if [ "$(cat "$2" 2>/dev/null; echo x)" != "$3"x ]; then
    echo "--- $1: $2 differs:"
    cat "$2" 2>/dev/null
    fail=1
  fi
}

check no_file 1 "Couldn't open targets.def file: \"$parent_shown\"
" -tchip

printf '[One]\n[two]\n' > "$root/targets.def"
check parent_directory 1 "Specified target MCU \"THREE\" not found in targets.def file ($parent_shown).

Available MCUs: One two
" -tthree
check_file parent_cleaned_copy "$root/targets.def.new" "[One]
[two]
"

printf '\n  \n' > "$beside"
check no_sections 1 "Specified target MCU \"ONE\" not found in targets.def file ($beside_shown).

" -tOne

printf '[m]\nA,0x1,1,0\nB,0x2,5,0\n' > "$beside"
check width_5 1 "Unrecognized line 3 in targets.def file ($beside_shown).
" -tm

printf '[m]\nA,0x1,1,0\nB,0x2,1,2\n' > "$beside"
check class_2 1 "Unrecognized line 3 in targets.def file ($beside_shown).
" -tm

printf 'A,0x1,1,0\n[m]\n' > "$beside"
check before_section 1 "Unrecognized line 1 in targets.def file ($beside_shown).
" -tm

printf '[abc]\n[ABC]\n' > "$beside"
check duplicate_mcu 1 "Duplicated \"ABC\" mcu definition in targets.def at line 2 ($beside_shown).
" -tabc

printf '[m]\nA,0x1,1,0\nA,0x2,1,0\n' > "$beside"
check conflict_address 1 "Duplicated registers with different addresses at lines 2 and 3 in targets.def ($beside_shown).
" -tm
printf '[m]\n--ccs--\nA,0x1,1,0\nA,0x1,2,0\n' > "$beside"
check conflict_width 1 "Duplicated registers with different width at lines 3 and 4 in targets.def ($beside_shown).
" -tm
printf '[m]\nA,0x1,1,0\nA,0x1,1,1\n' > "$beside"
check conflict_class 1 "Duplicated registers with different memory class at lines 2 and 3 in targets.def ($beside_shown).
" -tm

# Line ends of either kind; the file beside the program wins over the parent's.
printf '[Chip]\r\nZeta,0X1f,1,0\r\nalpha,0x20,2,1\r\n--ccs--\r\nZeta,0x30,4,0\r\nalpha,0x20,2,1\r\n' > "$beside"
check crlf 0 "" -tCHIP
check_file crlf_cleaned_copy "$beside.new" "[Chip]
Zeta,0x00000030,4,0
alpha,0x00000020,2,1
"

[ "$fail" = 0 ] && echo "ok target_definitions"
exit $fail
