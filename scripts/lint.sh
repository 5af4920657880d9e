#!/usr/bin/env bash
# Static analysis of the runtime, the application, the plugins, the tools and
# the fuzz targets: clang-tidy with the checks of .clang-tidy, then cppcheck.
# Any finding fails the script. The compilation database is made in
# build-lint/ (configured only, never built).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-lint
sources="^$PWD/(runtime|app|plugins|tools|tests/fuzz)/"

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null

echo "== clang-tidy"
run-clang-tidy -p "$build" -j "$(nproc)" -quiet -header-filter="$sources" "$sources" >"$build/clang-tidy.log" 2>&1 ||
  status=$?
if ((${status:-0} != 0)); then
  grep -E "(warning|error):" "$build/clang-tidy.log" | sort -u
  echo "clang-tidy found problems (full output in $build/clang-tidy.log)"
  exit 1
fi

# No system headers: cppcheck knows the standard library's functions by its
# own configuration, and parsing the real headers only slows it down.
echo "== cppcheck"
cppcheck -j "$(nproc)" --quiet --error-exitcode=1 --inline-suppr --std=c++20 --library=posix \
  --enable=warning,performance,portability \
  -I runtime -I app -I . -I tests -I tests/fuzz -I tests/app/cipher \
  --template='{file}:{line}: {severity} [{id}] {message}' \
  runtime app plugins tools tests/fuzz
echo "lint: 2 passed, 0 failed"
