#!/usr/bin/env bash
# Installs into a temporary prefix and converts the example with the installed
# program; the example targets.def lies beside it and the man page is there.
set -eu
bin=$1
src=$2
build=$(dirname "$bin")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/gel2querna"
test -f "$prefix/share/man/man1/gel2querna.1"
test -f "$prefix/share/doc/gel2querna/conversion-report.schema.json"
if [ -f "$src/examples/targets.def" ]; then test -f "$prefix/bin/targets.def"; fi
mkdir -p "$prefix/work/tmp"
cp "$src/examples/board_startup.gel" "$prefix/work/"
cd "$prefix/work"
TMPDIR=$prefix/work/tmp "$prefix/bin/gel2querna" board_startup.gel out.cmm
test -f out.cmm
"$prefix/bin/gel2querna" --version | grep -qx "GEL to QUERNA converter 2.5.8"
# The batch mode of the installed program.
TMPDIR=$prefix/work/tmp "$prefix/bin/gel2querna" --out-dir batch board_startup.gel >/dev/null
test -f batch/board_startup.cmm && test -f batch/conversion-report.json
