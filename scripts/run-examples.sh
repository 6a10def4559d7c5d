#!/usr/bin/env bash
# The main job: builds lumatra-cli and converts the bundled example files into every target
# format under out/examples/, then prints what the examples hold.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMATRA_TESTS=OFF -DLUMATRA_BENCH=OFF \
  -DLUMATRA_FUZZ=OFF >/dev/null
cmake --build build --target lumatra-cli
cli=build/src/cli/lumatra-cli
status=0
for format in ldt ies86 ies91 ies95 ies02 ies19 tm14 cie l32 ltli; do
  mkdir -p "out/examples/$format"
  echo "== $format"
  "$cli" convert --to "$format" --out "out/examples/$format" --force examples/*.ldt || status=1
done
echo "== info"
"$cli" info examples/*.ldt
echo "converted files are in out/examples/"
exit $status
