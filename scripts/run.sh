#!/usr/bin/env bash
# Configures and builds Vantor, then starts the tool.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -DVANTOR_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc)"
if [[ -x build/vantor ]]; then
  exec build/vantor "$@"
fi
echo "Built the runtime library; the vantor executable is not part of the build yet."
