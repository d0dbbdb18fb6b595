#!/usr/bin/env bash
# Builds Abonix and shows the sample directory.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DABONIX_TESTS=OFF
cmake --build "$build"
if [ ! -f sample/Phone2k.db ]; then
  "$build/tools/abonix-db" generate sample
fi
for table in Phone2k City Street; do
  "$build/tools/abonix-db" info "sample/$table.db"
  echo
done
