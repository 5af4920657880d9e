#!/usr/bin/env bash
# Builds Vantor and installs your own copy: the executable in
# PREFIX/share/vantor (its key system files will live beside it), the link
# PREFIX/bin/vantor and the manual page vantor(1). PREFIX is ~/.local unless
# given: scripts/install.sh [PREFIX]
set -euo pipefail
cd "$(dirname "$0")/.."

# The link on PATH must name an absolute target.
prefix="$(realpath -m "${1:-$HOME/.local}")"
scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build --target vantor -j "$(nproc)"
cmake --install build --prefix "$prefix"
case ":$PATH:" in
  *":$prefix/bin:"*) ;;
  *) echo "Add $prefix/bin to PATH to start the tool by its name, vantor." ;;
esac
