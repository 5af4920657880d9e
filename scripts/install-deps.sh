#!/usr/bin/env bash
# Installs the Debian packages Vantor needs to build and test, when any is
# missing: as root directly, otherwise through sudo; without either it names
# the packages to install and fails. With --m32 it adds what the 32-bit build
# needs: the compilers' 32-bit libraries, GoogleTest's sources and the 32-bit
# line-editing and cryptography libraries (which take the i386 architecture
# into dpkg).
set -euo pipefail

packages=(g++ cmake make libgtest-dev libbenchmark-dev libedit-dev libssl-dev binutils python3 unicode-data groff-base
          clang libclang-rt-14-dev clang-tidy cppcheck)
foreign_architecture=
if [[ "${1:-}" == "--m32" ]]; then
  packages+=(g++-multilib googletest libedit-dev:i386 libssl-dev:i386)
  foreign_architecture=i386
fi
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
if [[ -n $foreign_architecture ]] && ! dpkg --print-foreign-architectures | grep -qx "$foreign_architecture"; then
  echo "Adding the $foreign_architecture architecture to dpkg"
  "${as_root[@]}" dpkg --add-architecture "$foreign_architecture"
fi
echo "Installing the missing packages: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null
