#!/usr/bin/env bash
# Builds every target (tests, benchmarks, fuzz replay, window) in the Release configuration that
# packagers and benchmarks use, so that optimiser-only diagnostics cannot break it unnoticed, and
# runs every test there; then builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer
# (float-to-integer overflow included) and runs them again. Sources must be clang-formatted.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Every tracked source in the layout of .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
jobs=$(nproc)
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j "$jobs"
(cd build-release && ctest --output-on-failure -j "$jobs")
if [ "${LUMATRA_SKIP_SANITIZE:-0}" != "1" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMATRA_SANITIZE=ON \
    -DLUMATRA_BENCH=OFF -DLUMATRA_GUI=OFF >/dev/null
  cmake --build build-asan -j "$jobs"
  (cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs" -LE qt)
fi
