#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test. With
# --sanitize the build uses AddressSanitizer and UndefinedBehaviorSanitizer
# (in build-sanitize/); with --m32 it is the 32-bit x86 build (in build-m32/,
# cmake/m32.cmake).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
options=()
deps=()
case "${1:-}" in
  --sanitize)
    build=build-sanitize
    options=(-DCMAKE_BUILD_TYPE=Debug -DVANTOR_SANITIZE=ON)
    ;;
  --m32)
    build=build-m32
    options=(-DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/m32.cmake")
    deps=(--m32)
    ;;
esac
scripts/install-deps.sh "${deps[@]}"
cmake -S . -B "$build" -DVANTOR_TESTS=ON "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" </dev/null
