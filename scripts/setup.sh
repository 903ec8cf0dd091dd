#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing. Run as root.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev googletest)
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
