#!/usr/bin/env bash
# The GEL grammar's conflicts are part of its meaning (each shift/reduce one is
# resolved by shifting, each reduce/reduce one by the earlier rule), so their
# number and the size of the tables must not change unnoticed.
# Arguments: the program (unused) and the source directory.
set -u
src=$2/src/frontend/parser.y
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! bison -Wall -o "$work/parser.cpp" "$src" 2> "$work/report"; then
  cat "$work/report"; echo "bison failed"; exit 1
fi
fail=0
expect_line() {
  if ! grep -q -- "$1" "$2"; then echo "missing: $1"; fail=1; fi
}
expect_line "warning: 27 shift/reduce conflicts" "$work/report"
expect_line "warning: 258 reduce/reduce conflicts" "$work/report"
expect_line "define YYNTOKENS  111$" "$work/parser.cpp"
expect_line "define YYNNTS  77$" "$work/parser.cpp"
expect_line "define YYNRULES  298$" "$work/parser.cpp"
expect_line "define YYNSTATES  484$" "$work/parser.cpp"
if [ "$fail" = 0 ]; then echo "grammar tables as expected"; else cat "$work/report"; fi
exit "$fail"
