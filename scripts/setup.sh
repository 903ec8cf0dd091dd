#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. Run as root.
#
#   scripts/setup.sh          the compiler, CMake, Ninja, pkg-config and GoogleTest, liborcus
#                             and libdeflate (reading and writing xlsx) and zlib,
#                             python3-openpyxl and python3-pil (tests make xlsx files with
#                             pictures and open the saved ones with it),
#                             python3 and clang-format (the layering and format checks)
#   scripts/setup.sh fuzz     those and clang with its libFuzzer runtime (scripts/fuzz.sh)
#   scripts/setup.sh com      those and the Windows cross-compilers (mingw-w64, posix
#                             threads), widl, Wine's IDL files and Wine, 64-bit and 32-bit
#                             (scripts/com.sh); the 32-bit Wine needs the i386 architecture,
#                             which this adds to dpkg, and a kernel that runs 32-bit
#                             programs: where it does not (scripts/runs_i386.sh), only the
#                             64-bit Wine is installed
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev googletest liborcus-dev zlib1g-dev libdeflate-dev python3-openpyxl python3-pil python3 clang-format)
if [[ ${1:-} == fuzz ]]; then packages+=(clang libclang-rt-14-dev); fi
if [[ ${1:-} == com ]]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools libwine-dev wine wine64)
  if "$(dirname "$0")/runs_i386.sh"; then packages+=(wine32:i386); fi
  if [[ " ${packages[*]} " == *" wine32:i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt_update_needed=1
  fi
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})) || [[ -n ${apt_update_needed:-} ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  ((${#missing[@]})) && apt-get install -y -qq "${missing[@]}"
fi
exit 0
