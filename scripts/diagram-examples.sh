#!/usr/bin/env bash
# The diagrams the README shows: every kind of one bundled example (an oval downlight), written by
# lumatra-cli into docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target lumatra-cli
build/src/cli/lumatra-cli diagram --kind all --out docs examples/sym3_zumtobel_22169667.ldt
