#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test. With
# --sanitize the build uses AddressSanitizer and UndefinedBehaviorSanitizer
# (in build-sanitize/).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build
options=()
if [[ "${1:-}" == "--sanitize" ]]; then
  build=build-sanitize
  options=(-DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON)
fi
cmake -S . -B "$build" -DVANTOR_TESTS=ON "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" </dev/null
