#!/usr/bin/env bash
# Builds Abonix with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# ABONIX_SLOW=1 also runs the long fuzz and end-to-end runs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DABONIX_SANITIZE=ON -DABONIX_E2E=ON
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir "$build" --output-on-failure -j2
