#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer, UBSan and
# -Werror, and runs every test through ctest but the fault soak (label "soak", which only a
# build with the benchmarks has; `ctest -L soak` runs it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=build/sanitize
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DMORVANE_SANITIZE=ON -DMORVANE_WERROR=ON -DMORVANE_BUILD_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -LE soak
