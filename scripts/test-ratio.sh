#!/usr/bin/env bash
# Prints the lines of test code (tests/**/*.cpp, *.h) against the hand-written source lines
# (src/**/*.cpp, *.h without the generated LiTG factor table) and fails when the tests exceed a
# third of the source: tests that catch faults stay small; golden files under tests/data are data.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files -z "$@" | xargs -0 -r cat | wc -l; }
source_lines=$(count 'src/*.cpp' 'src/*.h' ':!:src/photometry/litg_factors.cpp')
test_lines=$(count 'tests/*.cpp' 'tests/*.h')
awk -v t="$test_lines" -v s="$source_lines" 'BEGIN {
  ratio = t / s
  printf "test code: %d lines against %d source lines (%.2f; at most 0.33)\n", t, s, ratio
  exit ratio > 0.33
}'
