#!/usr/bin/env bash
# Regenerates the golden outputs under tests/data/golden/: every source listed below converted by
# lumatra-cli with default settings into each target named beside it. The test that compares
# against them (tests/cli/golden_outputs_test.cpp) converts the same way. Run it only when a
# change of the output is intended, and review the diff.
#
# The targets written here carry no date of the conversion; the clock is still fixed (faketime
# when installed) so that a target that does write one stays reproducible.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${LUMATRA_CLI:-build/src/cli/lumatra-cli}
golden=tests/data/golden/ies
# "source target": 1986, 1991 and 1995 sources into the three old editions, and 2002 and 2019
# sources into the keyword editions. (A source without [ISSUEDATE] gets the conversion date there,
# so those pairs are not pinned here.)
pairs=()
for source in erco_1986 two_keywords_1991 williams_1995 more_lines_1995; do
  for target in ies86 ies91 ies95; do pairs+=("$source $target"); done
done
pairs+=("tilt_include_2002 ies02" "bollard_2002 ies19" "downlight_2019 ies19" "downlight_2019 ies02")

run=()
if command -v faketime >/dev/null; then run=(faketime '2026-01-15 12:00:00'); fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$golden"
rm -f "$golden"/*.IES
for pair in "${pairs[@]}"; do
  read -r source target <<<"$pair"
  rm -rf "$work/out" && mkdir "$work/out"
  XDG_CONFIG_HOME="$work" "${run[@]}" "$cli" convert --to "$target" --settings "$work/settings.ini" \
    --out "$work/out" --force "tests/data/ies/$source.ies" >/dev/null
  upper=$(echo "$source" | tr '[:lower:]' '[:upper:]')
  cp "$work/out/$upper.IES" "$golden/$source.$target.IES"
done
echo "golden files in $golden"

# The format tests: every writer's output and what the readers understood (tests/data/golden/formats).
cmake --build build -j2 --target formats_tests >/dev/null
LUMATRA_UPDATE_GOLDEN=1 build/tests/formats_tests --gtest_filter='*Goldens*' >/dev/null

# The windows' controls and texts at a first start (tests/data/golden/gui).
cmake --build build -j2 --target qt_tests >/dev/null
LUMATRA_UPDATE_GOLDEN=1 QT_QPA_PLATFORM=offscreen build/tests/qt_tests \
  --gtest_filter='*Goldens*' >/dev/null
git status --short tests/data/golden
