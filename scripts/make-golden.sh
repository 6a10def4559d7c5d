#!/usr/bin/env bash
# Regenerates the golden files under tests/data/golden/: builds, runs the test programs that
# compare against them with LUMATRA_UPDATE_GOLDEN=1 (they write instead of comparing), and lists
# what changed. Run it only when a change of the output is intended, and review the diff.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${LUMATRA_BUILD_DIR:-build}
cmake --build "$build" -j2
export LUMATRA_UPDATE_GOLDEN=1
"$build"/tests/formats_tests --gtest_filter='*Goldens*' >/dev/null  # formats/
"$build"/tests/photometry_tests >/dev/null  # photometry/derived.tsv, transforms/
"$build"/tests/app_tests >/dev/null  # pipeline/, app/
"$build"/tests/cli_tests >/dev/null  # ies/, cli/session.txt
QT_QPA_PLATFORM=offscreen "$build"/tests/qt_tests --gtest_filter='*Goldens*' >/dev/null  # gui/
git status --short tests/data/golden
