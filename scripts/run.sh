#!/usr/bin/env bash
# Installs what is missing, configures and builds Vantor, then starts the tool
# in its own folder, build/: the tool takes relative file names from there,
# and the shell lines typed at the prompt then run in the same folder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DVANTOR_TESTS=OFF >/dev/null
cmake --build build --target vantor -j "$(nproc)"
cd build
exec ./vantor "$@"
