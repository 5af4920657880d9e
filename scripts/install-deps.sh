#!/usr/bin/env bash
# Installs the Debian packages needed to build and test Vantor (run as root).
set -euo pipefail

packages=(g++ cmake make libgtest-dev libbenchmark-dev binutils unicode-data clang libclang-rt-14-dev clang-tidy cppcheck)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null
fi
