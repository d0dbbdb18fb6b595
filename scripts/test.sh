#!/usr/bin/env bash
# Builds Abonix with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# ABONIX_SLOW=1 then also fuzzes every parser of outside input for ABONIX_FUZZ_SECONDS
# each (default 300), built with clang and libFuzzer in build/fuzz, and runs the
# window-system tests under ThreadSanitizer (build/tsan).
# ABONIX_DEB_ROOT=1 (also ABONIX_SLOW=1 unless ABONIX_DEB_ROOT=0) installs the .deb of a
# release build (build/release) with apt on a clean Debian 12 root made by debootstrap
# (kept in build/deb-root) and starts the installed program there on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
build=build/test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DABONIX_SANITIZE=ON -DABONIX_E2E=ON
cmake --build "$build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir "$build" --output-on-failure -j2

if [ "${ABONIX_SLOW:-0}" = 1 ]; then
  # The window system's worker threads (sends, posts, drawing) under ThreadSanitizer.
  tsan=build/tsan
  cmake -S . -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DABONIX_TSAN=ON
  cmake --build "$tsan" --target ui_tests
  TSAN_OPTIONS=halt_on_error=1 "$tsan/tests/ui/ui_tests"

  fuzz=build/fuzz
  cmake -S . -B "$fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DABONIX_FUZZ=ON -DABONIX_TESTS=OFF
  cmake --build "$fuzz" --target table_fuzz ini_fuzz list_fuzz
  for target in table ini list; do
    # New inputs go to a scratch folder; the committed seeds are only read.
    scratch=$(mktemp -d)
    "$fuzz/fuzz/${target}_fuzz" -max_total_time="${ABONIX_FUZZ_SECONDS:-300}" \
      -artifact_prefix="$fuzz/${target}-" "$scratch" "fuzz/corpus/$target"
    rm -rf "$scratch"
  done
fi

if [ "${ABONIX_DEB_ROOT:-${ABONIX_SLOW:-0}}" = 1 ]; then
  release=build/release
  cmake -S . -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DABONIX_TESTS=OFF
  cmake --build "$release"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd bash tests/tools/deb_root_test.sh "$release" build/deb-root
fi
