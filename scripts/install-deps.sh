#!/usr/bin/env bash
# Installs, from Debian packages, everything the builds, tests, demo and benchmarks use.
# Safe to run again: it only installs what is missing.
set -euo pipefail

packages=(
  cmake make g++ ninja-build python3
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb x11-utils x11-apps netpbm
  googletest libgtest-dev libbenchmark-dev
  zlib1g-dev libssl-dev libdeflate-dev libisal-dev
  rhash coreutils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
