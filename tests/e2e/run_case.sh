#!/usr/bin/env bash
# Runs one end-to-end case: converts the case's input in a fresh directory and
# compares the output file, standard output, standard error and exit status
# with the case's expected files. See README.md beside this script.
set -u
bin=$1
case_dir=$2
name=$(basename "$case_dir")

work=$(mktemp -d "${TMPDIR:-/tmp}/e2e.$name.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/tmp"

# Everything but the expectations is input.
( cd "$case_dir" && for f in * .[!.]*; do
    [ -e "$f" ] || continue
    case "$f" in expected*|args) continue ;; esac
    cp -R "$f" "$work/run/"
  done )

if [ -f "$case_dir/args" ]; then
  read -r -a args < "$case_dir/args"
else
  args=(input.gel out.cmm)
fi
out_name=${args[${#args[@]}-1]}

# RUNNER runs a program built for another system (wine for Windows). Such a
# program uses the temporary directory of its own system, and TMPDIR stays as
# it is: Wine keeps its server's socket there.
read -r -a runner <<< "${RUNNER:-}"
tmp_env=("TMPDIR=$work/tmp")
[ ${#runner[@]} -gt 0 ] && tmp_env=()
# Cases Wine cannot run are skipped, with the reason.
if [ ${#runner[@]} -gt 0 ] && [[ " ${args[*]} " == *" --out-dir "* ]]; then
  echo "skipped under Wine: e2e.$name: the batch mode is refused in the Windows build"
  exit 77
fi

status=0
( cd "$work/run" && env "${tmp_env[@]}" timeout 20 "${runner[@]}" "$bin" "${args[@]}" \
    > "$work/stdout" 2> "$work/stderr" < /dev/null ) || status=$?

expected_status=0
[ -f "$case_dir/expected.status" ] && expected_status=$(tr -d ' \n' < "$case_dir/expected.status")

if [ "${UPDATE_EXPECTED:-0}" = 1 ]; then
  cp "$work/stdout" "$case_dir/expected.stdout"; [ -s "$work/stdout" ] || rm -f "$case_dir/expected.stdout"
  cp "$work/stderr" "$case_dir/expected.stderr"; [ -s "$work/stderr" ] || rm -f "$case_dir/expected.stderr"
  if [ "$status" = 0 ]; then rm -f "$case_dir/expected.status"; else echo "$status" > "$case_dir/expected.status"; fi
  if [ -f "$work/run/$out_name" ]; then cp "$work/run/$out_name" "$case_dir/expected.out"; else rm -f "$case_dir/expected.out"; fi
  if [ -d "$case_dir/expected.files" ]; then
    ( cd "$case_dir/expected.files" && find . -type f ) | while read -r f; do
      cp "$work/run/$f" "$case_dir/expected.files/$f" 2>/dev/null || true
    done
  fi
  echo "updated $name"
  exit 0
fi

fail=0
diff_file() {  # expected actual label
  if ! cmp -s "$1" "$2"; then
    echo "--- $3 differs (expected vs actual):"
    diff -u "$1" "$2" | head -n 60
    fail=1
  fi
}

empty=$work/empty; : > "$empty"
exp_stdout=$empty; [ -f "$case_dir/expected.stdout" ] && exp_stdout=$case_dir/expected.stdout
exp_stderr=$empty; [ -f "$case_dir/expected.stderr" ] && exp_stderr=$case_dir/expected.stderr
diff_file "$exp_stdout" "$work/stdout" "standard output"
diff_file "$exp_stderr" "$work/stderr" "standard error"

if [ "$status" != "$expected_status" ]; then
  echo "--- exit status $status, expected $expected_status"
  fail=1
fi

if [ -f "$case_dir/expected.out" ]; then
  if [ -f "$work/run/$out_name" ]; then
    diff_file "$case_dir/expected.out" "$work/run/$out_name" "output file $out_name"
  else
    echo "--- output file $out_name was not written"
    fail=1
  fi
elif [ -e "$case_dir/$out_name" ]; then
  # The last argument names one of the inputs (a file, or a folder of the
  # batch mode): it must be left as it was.
  if ! diff -r -q "$case_dir/$out_name" "$work/run/$out_name" >/dev/null 2>&1; then
    echo "--- input file $out_name was changed"
    fail=1
  fi
elif [ -e "$work/run/$out_name" ]; then
  echo "--- output file $out_name exists but no output was expected"
  fail=1
fi

if [ -d "$case_dir/expected.files" ]; then
  while read -r f; do
    if [ -f "$work/run/$f" ]; then
      diff_file "$case_dir/expected.files/$f" "$work/run/$f" "file $f"
    else
      echo "--- file $f was not written"
      fail=1
    fi
  done < <(cd "$case_dir/expected.files" && find . -type f | sed 's|^\./||')
fi

[ "$fail" = 0 ] && echo "ok $name"
exit $fail
