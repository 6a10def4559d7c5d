#!/usr/bin/env bash
# Regenerates the golden outputs under tests/data/golden/: every source listed below converted by
# lumatra-cli with default settings into each target named beside it. The test that compares
# against them (tests/cli/golden_outputs_test.cpp) converts the same way. Run it only when a
# change of the output is intended, and review the diff.
#
# The IES targets written here carry no date; the clock is still fixed (faketime when installed)
# so that a target that does write one stays reproducible.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${LUMATRA_CLI:-build/src/cli/lumatra-cli}
golden=tests/data/golden/ies
sources=(erco_1986 two_keywords_1991 williams_1995 more_lines_1995)
targets=(ies86 ies91 ies95)

run=()
if command -v faketime >/dev/null; then run=(faketime '2026-01-15 12:00:00'); fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$golden"
for source in "${sources[@]}"; do
  for target in "${targets[@]}"; do
    rm -rf "$work/out" && mkdir "$work/out"
    XDG_CONFIG_HOME="$work" "${run[@]}" "$cli" convert --to "$target" --settings "$work/settings.ini" \
      --out "$work/out" --force "tests/data/ies/$source.ies" >/dev/null
    upper=$(echo "$source" | tr '[:lower:]' '[:upper:]')
    cp "$work/out/$upper.IES" "$golden/$source.$target.IES"
  done
done
echo "golden files in $golden"
