#!/usr/bin/env bash
# The whole check, as CI runs it:
#  1. every tracked source in the layout of .clang-format, and test code at most a third of the
#     source (scripts/test-ratio.sh);
#  2. every target (tests, benchmarks, fuzz replay, window) in the Release configuration that
#     packagers use, so optimiser-only diagnostics cannot break it unnoticed; every test, and one
#     short pass of every benchmark;
#  3. every test again, the windows' included (offscreen), built with AddressSanitizer and
#     UndefinedBehaviorSanitizer (float-to-integer overflow included) at -O1.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
scripts/test-ratio.sh
jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build build-release -j "$jobs"
(cd build-release && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
if [ -x build-release/bench/lumatra_bench ]; then
  build-release/bench/lumatra_bench --benchmark_min_time=0.01 >/dev/null
fi

if [ "${LUMATRA_SKIP_SANITIZE:-0}" != "1" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DLUMATRA_SANITIZE=ON -DLUMATRA_BENCH=OFF "${launcher[@]}" >/dev/null
  cmake --build build-asan -j "$jobs"
  # Qt keeps some allocations until the process ends; tests/lsan.supp names them.
  (cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS="suppressions=$PWD/../tests/lsan.supp:print_suppressions=0" \
    ctest --output-on-failure -j "$jobs")
fi
