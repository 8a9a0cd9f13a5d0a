#!/usr/bin/env bash
# A write that fails is never a success. Conversions whose output, stage
# files, macro file, register report or cleaned copy of targets.def cannot be
# written end with a message naming the file and the system's reason, exit
# status 1, no output file and no working files; a debug trace that cannot be
# written changes nothing. Full file systems are small tmpfs mounts, made only
# where the tests run as root (skipped with a message elsewhere); /dev/full,
# a FIFO and a link need no privileges.
set -u
bin=$1
root=$(mktemp -d)
mounts=()
cleanup() {
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
  rm -rf "$root"
}
trap cleanup EXIT
mkdir -p "$root/work" "$root/tmp"
work=$root/work
fail=0
nospace="No space left on device"

printf 'Test()\n{\n  int v;\n  v = 1;\n}\n' > "$work/small.gel"
printf '#define ADD(a, b) ((a) + (b))\nTest()\n{\n  int v;\n  v = ADD(v, 2);\n}\n' > "$work/macro.gel"
printf 'Test()\n{\n  GEL_ProjectLoad("x");\n}\n' > "$work/error.gel"
# A script whose output is several times the size of the output buffer.
{
  printf 'Test()\n{\n  int v;\n'
  for i in $(seq 1 6000); do printf '  v = v + %d; v = v * 3; v = v - 1;\n' "$i"; done
  printf '}\n'
} > "$work/large.gel"

# run NAME EXPECTED_STATUS ARGS... : converts in $work with a private TMPDIR
# (or $tmpdir), leaving standard output and error in $root/stdout, $root/stderr.
tmpdir=$root/tmp
run() {
  local name=$1 expected=$2 rc
  shift 2
  (cd "$work" && TMPDIR="$tmpdir" timeout 60 "$bin" "$@" </dev/null >"$root/stdout" 2>"$root/stderr")
  rc=$?
  if [ "$rc" != "$expected" ]; then
    echo "--- $name: exit status $rc (expected $expected)"
    cat "$root/stdout" "$root/stderr"
    fail=1
  fi
  if [ -n "$(ls -A "$tmpdir" | grep GEL_TEMP)" ]; then
    echo "--- $name: working directory left behind"
    fail=1
  fi
}

# expect_line NAME FILE LINE : FILE ($root/stdout or $root/stderr) holds LINE,
# where '*' in LINE stands for any text.
expect_line() {
  if ! grep -qx -- "$(printf '%s' "$3" | sed 's/[][\.^$]/\\&/g; s/\*/.*/g')" "$2"; then
    echo "--- $1: expected the line: $3"
    cat "$2"
    fail=1
  fi
}

expect_absent() {
  if [ -e "$2" ] || [ -L "$2" ]; then
    echo "--- $1: $2 was left behind"
    fail=1
  fi
}

# reference GEL NAME : the conversion of GEL to an output of base name NAME
# (the name shows in the script), as $root/ref/NAME.
mkdir -p "$root/ref"
reference() {
  (cd "$work" && TMPDIR="$root/tmp" "$bin" "$1" "$root/ref/$2" >/dev/null 2>&1) || { echo "reference failed"; exit 1; }
}
reference small.gel pipe
reference small.gel link.cmm
reference large.gel traced.cmm

# A full device: nothing written is not a success, and the device survives.
run "/dev/full" 1 small.gel /dev/full
expect_line "/dev/full" "$root/stderr" "Could not write output file /dev/full: $nospace"
[ -c /dev/full ] || { echo "--- /dev/full is no longer a device"; fail=1; }

# A FIFO is written in place, never replaced by a file, and an Error does not
# remove it.
mkfifo "$work/pipe"
cat "$work/pipe" > "$root/piped" &
run "FIFO output" 0 small.gel pipe
wait
cmp -s "$root/piped" "$root/ref/pipe" || { echo "--- FIFO output: content differs"; fail=1; }
cat "$work/pipe" > /dev/null &
run "FIFO output with an Error" 0 error.gel pipe
wait
[ -p "$work/pipe" ] || { echo "--- FIFO output: the FIFO was replaced or removed"; fail=1; }

# A link to the output stays a link; the file it names gets the script, with
# its permissions kept.
mkdir -p "$work/elsewhere"
printf 'old\n' > "$work/elsewhere/real.cmm"
chmod 640 "$work/elsewhere/real.cmm"
ln -s elsewhere/real.cmm "$work/link.cmm"
run "link output" 0 small.gel link.cmm
[ -L "$work/link.cmm" ] || { echo "--- link output: the link was replaced"; fail=1; }
cmp -s "$work/elsewhere/real.cmm" "$root/ref/link.cmm" || { echo "--- link output: content differs"; fail=1; }
[ "$(stat -c %a "$work/elsewhere/real.cmm")" = 640 ] || { echo "--- link output: permissions changed"; fail=1; }
[ -z "$(ls -A "$work/elsewhere" | grep -v '^real.cmm$')" ] || { echo "--- link output: temporary file left"; fail=1; }

# mount_small SIZE : a tmpfs of SIZE, its path in $mounted.
mount_small() {
  mounted=$(mktemp -d "$root/mount.XXXXXX")
  mount -t tmpfs -o "size=$1" tmpfs "$mounted" 2>/dev/null || { rmdir "$mounted"; return 1; }
  mounts+=("$mounted")
}
fill() { dd if=/dev/zero of="$1/filler" bs=4k >/dev/null 2>&1; true; }

if [ "$(id -u)" != 0 ] || ! mount_small 64k; then
  echo "write_faults: cannot mount a tmpfs here (not root, or no mount permission): full-disk cases skipped"
  [ $fail = 0 ] && echo "write_faults: all checks passed"
  exit $fail
fi
full=$mounted

# The output does not fit: no part of it is left, nor an older output, nor
# the temporary file it was written to.
printf 'older\n' > "$full/out.cmm"
run "output on a full disk" 1 large.gel "$full/out.cmm"
expect_line "output on a full disk" "$root/stderr" "Could not write output file $full/out.cmm: $nospace"
expect_absent "output on a full disk" "$full/out.cmm"
[ -z "$(ls -A "$full")" ] || { echo "--- output on a full disk: left $(ls -A "$full")"; fail=1; }

# Nothing fits: the register report, written first, fails.
fill "$full"
run "register report on a full disk" 1 -tDEMO6416 -r small.gel "$full/out.cmm"
expect_line "register report" "$root/stderr" "Could not write register report $full/out.cmm.regs: $nospace"
expect_absent "register report" "$full/out.cmm.regs"
expect_absent "register report" "$full/out.cmm"

# The working directory on a full disk: the stage file, or the macro file
# written before it, fails.
tmpdir=$full
run "stage file on a full disk" 1 small.gel out.cmm
expect_line "stage file" "$root/stderr" "Could not write temporary file $full/GEL_TEMP*/out.cmm.tmp.pre: $nospace"
expect_absent "stage file" "$work/out.cmm"
run "macro file on a full disk" 1 macro.gel out.cmm
expect_line "macro file" "$root/stderr" "Could not write macro file $full/GEL_TEMP*/macro_file.dts: $nospace"
expect_absent "macro file" "$work/out.cmm"
tmpdir=$root/tmp

# The debug trace on a full disk is no reason to fail.
(cd "$full" && TMPDIR="$root/tmp" "$bin" "$work/large.gel" "$work/traced.cmm" >/dev/null 2>&1) ||
  { echo "--- debug trace on a full disk: the conversion failed"; fail=1; }
cmp -s "$work/traced.cmm" "$root/ref/traced.cmm" || { echo "--- debug trace on a full disk: output differs"; fail=1; }

# The cleaned copy of targets.def beside the program on a full disk.
size=$(( $(stat -c %s "$bin") / 1024 + 64 ))
if mount_small "${size}k"; then
  program=$mounted
  cp "$bin" "$program/gel2querna"
  cp "$(dirname "$bin")/targets.def" "$program/targets.def"
  fill "$program"
  (cd "$work" && TMPDIR="$root/tmp" "$program/gel2querna" -tDEMO6416 small.gel out.cmm >"$root/stdout" 2>&1)
  [ $? = 1 ] || { echo "--- cleaned copy on a full disk: not exit status 1"; fail=1; }
  expect_line "cleaned copy" "$root/stdout" "Could not write cleaned copy $program/targets.def.new: $nospace"
  expect_absent "cleaned copy" "$program/targets.def.new"
  expect_absent "cleaned copy" "$work/out.cmm"
fi

[ $fail = 0 ] && echo "write_faults: all checks passed"
exit $fail
