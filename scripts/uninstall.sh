#!/usr/bin/env bash
# Removes what the last install from build/ put in place, as
# build/install_manifest.txt lists it: the executable, the link and the manual
# page. Key system files are never removed, nor their folder while it holds
# any.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -DMANIFEST="$PWD/build/install_manifest.txt" -P cmake/Uninstall.cmake
