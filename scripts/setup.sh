#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. Run as root.
#
#   scripts/setup.sh          the compiler, CMake, Ninja and GoogleTest
#   scripts/setup.sh fuzz     those and clang with its libFuzzer runtime (scripts/fuzz.sh)
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev googletest)
if [[ ${1:-} == fuzz ]]; then packages+=(clang libclang-rt-14-dev); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
