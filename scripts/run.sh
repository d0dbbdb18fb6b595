#!/usr/bin/env bash
# Builds Abonix, generates the sample directory when it is missing and runs
# the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DABONIX_TESTS=OFF
cmake --build "$build"
# A directory from before the index files had their trees (.YG0) is made anew.
if [ ! -f sample/Phone2k.db ] || [ ! -f sample/Phone2k.YG0 ]; then
  "$build/tools/abonix-db" generate sample
fi
exec "$build/app/abonix" sample
