#!/usr/bin/env bash
# Builds Abonix, generates the sample directory when it is missing and runs
# the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DABONIX_TESTS=OFF
cmake --build "$build"
if [ ! -f sample/Phone2k.db ]; then
  "$build/tools/abonix-db" generate sample
fi
exec "$build/app/abonix" sample
