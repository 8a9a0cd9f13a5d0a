#!/usr/bin/env bash
# Configures and builds one tree: scripts/build.sh DIR [cmake options...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
"$root/scripts/setup.sh"
gen=()
command -v ninja >/dev/null 2>&1 && gen=(-G Ninja)
cmake -S "$root" -B "$dir" "${gen[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
