#!/usr/bin/env bash
# Writes every kind of diagram for every file of a corpus with lumatra-cli and checks that each
# file gave all four kinds and that every SVG parses as XML. Exit 77 (skipped) without a corpus.
#   scripts/diagram-sweep.sh [LUMATRA_CLI] [CORPUS_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${1:-build/src/cli/lumatra-cli}
corpus=${2:-../shared/corpus/files}
if [ ! -d "$corpus" ]; then
  echo "no corpus at $corpus: skipped"
  exit 77
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
files=0
failed=0
# One folder a file: sources of one base name in different formats keep their own diagrams.
while IFS= read -r -d '' file; do
  files=$((files + 1))
  if ! "$cli" diagram --out "$out/$files" "$file" >/dev/null; then
    failed=$((failed + 1))
  fi
done < <(find "$corpus" -type f -print0 | sort -z)
python3 - "$out" "$files" "$failed" <<'PY'
import pathlib, sys, xml.etree.ElementTree as ET
out, files, failed = pathlib.Path(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
svgs = sorted(out.rglob("*.svg"))
bad = []
for svg in svgs:
    try:
        root = ET.parse(svg).getroot()
        if root.tag != "{http://www.w3.org/2000/svg}svg" or "viewBox" not in root.attrib:
            bad.append(f"{svg}: no svg root with a viewBox")
    except ET.ParseError as e:
        bad.append(f"{svg}: {e}")
short = [d.name for d in out.iterdir() if len(list(d.glob("*.svg"))) != 4]
print(f"{files} files, {failed} failed, {len(svgs)} diagrams, {len(bad)} not valid XML, "
      f"{len(short)} without all four kinds")
for line in bad[:10]:
    print(line)
sys.exit(1 if failed or bad or short or len(svgs) != 4 * files else 0)
PY
