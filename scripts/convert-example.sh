#!/usr/bin/env bash
# Builds the converter and converts the bundled example script:
#   examples/board_startup.gel -> examples/board_startup.cmm
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DGEL2QUERNA_TESTS=OFF
cd "$root/examples"
"$root/build/release/gel2querna" board_startup.gel board_startup.cmm
echo "wrote examples/board_startup.cmm"
