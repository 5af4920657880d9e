#!/usr/bin/env bash
# Installs the Debian packages Vantor needs to build and test, when any is
# missing: as root directly, otherwise through sudo; without either it names
# the packages to install and fails.
set -euo pipefail

packages=(g++ cmake make libgtest-dev libbenchmark-dev libedit-dev libssl-dev binutils python3 unicode-data groff-base
          clang libclang-rt-14-dev clang-tidy cppcheck)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
((${#missing[@]})) || exit 0

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "Missing packages; install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing the missing packages: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null
