#!/usr/bin/env bash
# Installs the build tools the project needs when they are missing (as root,
# with apt-get): a C++ compiler, CMake, Ninja, bison, flex and GoogleTest.
set -eu
need=()
command -v bison >/dev/null 2>&1 || need+=(bison)
command -v flex >/dev/null 2>&1 || need+=(flex)
command -v cmake >/dev/null 2>&1 || need+=(cmake)
command -v ninja >/dev/null 2>&1 || need+=(ninja-build)
command -v g++ >/dev/null 2>&1 || need+=(g++)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
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
