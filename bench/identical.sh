#!/usr/bin/env bash
# Byte identity of two builds: converts every corpus file into every target format with the
# reference lumatra-cli and with the one under test (-j 1 and -j 2), the date pinned, and compares
# the written files and the logs. Prints one line per target format; exits 1 on any difference.
#
#   bench/identical.sh REFERENCE_CLI [CLI]   (CLI default: build/src/cli/lumatra-cli)
#   REF_ARGS="..." adds arguments for the reference only (e.g. none for a build without -j).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
reference=$(realpath "$1")
cli=$(realpath "${2:-$here/build/src/cli/lumatra-cli}")
corpus=${CORPUS:-$here/../shared/corpus}
work=$(mktemp -d "${TMPDIR:-/tmp}/lumatra-identical.XXXXXX")
trap 'rm -rf "$work"' EXIT

mapfile -t sources < <(find "$corpus/files" -type f | sort)
run() {  # cli out-dir log [args...]
  local bin=$1 out=$2 log=$3
  shift 3
  faketime '2026-12-01 12:00:00' "$bin" convert --settings "$work/none.ini" --to "${to%%+*}" \
    --out "$out" --log "$log" $options "$@" "${sources[@]}" >/dev/null 2>"$log.err" || true
}
# A log or error text with the run's own target folder named OUT.
text() { sed "s|$work/$to-$1|OUT|g" "$work/$to-$1.$2"; }
status=0
# FORMAT+u: unformatted, with C360 and the CIBSE/2 block; FORMAT+g: a 5-degree grid, turned.
for to in ldt tm14 ies86 ies91 ies95 ies02 ies19 cie ltli l32 ies95+u ies02+u tm14+u ldt+g ies95+g; do
  case $to in
    *+u) options="--unformatted --c360 --cibse2" ;;
    *+g) options="--c-step 5 --gamma-step 5 --rotate90" ;;
    *) options="" ;;
  esac
  run "$reference" "$work/$to-ref" "$work/$to-ref.log"
  run "$cli" "$work/$to-j1" "$work/$to-j1.log" -j 1
  run "$cli" "$work/$to-j2" "$work/$to-j2.log" -j 2
  result="identical"
  for j in j1 j2; do
    if ! diff -r -q "$work/$to-ref" "$work/$to-$j" >/dev/null ||
      ! cmp -s <(text ref log) <(text "$j" log) ||
      ! cmp -s <(text ref log.err) <(text "$j" log.err); then
      result="DIFFERENT ($j)"
      status=1
    fi
  done
  printf '%-6s %3d files written, log %d lines: %s\n' "$to" "$(find "$work/$to-ref" -type f | wc -l)" \
    "$(tr '\r' '\n' <"$work/$to-ref.log" | grep -c DEST || true)" "$result"
done
exit $status
