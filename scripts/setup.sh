#!/usr/bin/env bash
# Installs the build tools the project needs when they are missing (as root,
# with apt-get): a C++ compiler, CMake, Ninja, bison, flex and GoogleTest.
# `scripts/setup.sh windows` also installs what the Windows build needs: the
# MinGW-w64 cross compiler and Wine to run its tests.
set -eu
need=()
command -v bison >/dev/null 2>&1 || need+=(bison)
command -v flex >/dev/null 2>&1 || need+=(flex)
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v ninja >/dev/null 2>&1 || need+=(ninja-build)
command -v g++ >/dev/null 2>&1 || need+=(g++)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
if [ "${1:-}" = windows ]; then
  command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need+=(g++-mingw-w64-x86-64)
  command -v wine >/dev/null 2>&1 || need+=(wine64)
fi
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null 2>&1; then
    echo "installing: ${need[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}" >/dev/null
  else
    echo "missing build tools: ${need[*]} (install them, or run this script as root)" >&2
    exit 1
  fi
fi
