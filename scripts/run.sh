#!/usr/bin/env bash
# Installs what is missing, configures and builds Vantor, then starts the tool.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DVANTOR_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
exec build/vantor "$@"
