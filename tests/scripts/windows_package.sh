#!/usr/bin/env bash
# The Windows ZIP (run in the Windows tree only, under Wine): it holds the
# program, targets.def, the README and the licence in one folder, and the
# program found in it converts with -t, reading the targets.def beside it.
set -eu
bin=$1
src=$2
build=$(dirname "$bin")
read -r -a runner <<< "${RUNNER:-wine}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G ZIP -B "$work/package" >/dev/null)
zip=$(ls "$work"/package/gel2querna-*-win64.zip)
(cd "$work" && cmake -E tar xf "$zip")
folder=$work/$(basename "$zip" .zip)
expected="README.md gel2querna.exe targets.def"
for licence in LICENSE LICENSE.txt LICENSE.md COPYING; do
  [ -f "$src/$licence" ] && expected="$expected $licence"
done
actual=$(cd "$folder" && ls | sort | tr '\n' ' ')
expected=$(printf '%s\n' $expected | sort | tr '\n' ' ')
if [ "$actual" != "$expected" ]; then
  echo "ZIP holds: $actual"; echo "expected:  $expected"; exit 1
fi
mkdir "$work/run"
cp "$src/examples/target_registers.gel" "$work/run/"
read -r -a args < "$src/examples/target_registers.args"
(cd "$work/run" && "${runner[@]}" "$folder/gel2querna.exe" "${args[@]}" < /dev/null)
cmp "$src/examples/target_registers.cmm" "$work/run/target_registers.cmm"
cmp "$src/examples/target_registers.cmm.regs" "$work/run/target_registers.cmm.regs"
echo "ok windows_package"
