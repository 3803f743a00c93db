#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, the same tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short fuzz run of each
# fuzz target. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
marrowvane_install_deps

jobs=$(nproc)

if [ -x scripts/build-csharp.sh ]; then
  scripts/build-csharp.sh
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMARROWVANE_SANITIZE=ON -DMARROWVANE_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"

./fuzz.sh 20

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
if [ -f engine/tests/lsan.supp ]; then
  export LSAN_OPTIONS="suppressions=$PWD/engine/tests/lsan.supp:print_suppressions=0"
fi
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE no-sanitize
echo "== Tests"
ctest --test-dir build --output-on-failure -j"$jobs"
