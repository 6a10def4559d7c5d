#!/usr/bin/env bash
# Kills a large conversion with SIGKILL at random moments, again and again, then checks that
# every target left in the folder loads and that the next run leaves no temporary file behind.
# Run by hand from the repository root after a build (it takes a few minutes):
#   scripts/kill-loop.sh [files] [kills]
# Environment: CLI (default build/src/cli/lumatra-cli), CORPUS (../shared/corpus/files),
# FORMAT (ies95), KEEP=1 keeps the work folder.
set -euo pipefail

files=${1:-5000}
kills=${2:-25}
cli=$(realpath "${CLI:-build/src/cli/lumatra-cli}")
corpus=${CORPUS:-../shared/corpus/files}
format=${FORMAT:-ies95}

work=$(mktemp -d "${TMPDIR:-/tmp}/lumatra-kill-loop.XXXXXX")
[[ ${KEEP:-0} == 1 ]] || trap 'rm -rf "$work"' EXIT
mkdir "$work/src" "$work/out"
settings=$work/settings.ini

# Sources: copies of the corpus EULUMDAT files that load.
mapfile -t originals < <(find "$corpus" -iname '*.ldt' -type f | sort)
loadable=()
for f in "${originals[@]}"; do
  "$cli" info "$f" >/dev/null 2>&1 && loadable+=("$f")
done
((${#loadable[@]} > 0)) || { echo "no loadable LDT file under $corpus" >&2; exit 2; }
for ((i = 0; i < files; i++)); do
  cp "${loadable[i % ${#loadable[@]}]}" "$work/src/lamp$i.ldt"
done

convert() {
  exec "$cli" convert --settings "$settings" --to "$format" --out "$work/out" "$@" "$work"/src/*.ldt
}
temporaries() {
  find "$work/out" -maxdepth 1 -name '*lumatra-*.tmp' | wc -l
}

# One undisturbed run for its length; then runs killed somewhere inside that length: odd ones
# into an emptied folder (new targets, written as unnamed files), even ones with --force (every
# target replaced, through named temporaries).
start=$(date +%s%N)
(convert) >/dev/null 2>&1 || true
full_ms=$((($(date +%s%N) - start) / 1000000))
echo "full run of $files files: $full_ms ms"

# Every target in the folder must load: none is partial.
check_targets() {
  if ! find "$work/out" -maxdepth 1 -type f ! -name '*lumatra-*.tmp' -print0 |
    xargs -0 -r -n 200 "$cli" info >/dev/null 2>"$work/info.err"; then
    echo "FAIL: targets that do not load:" >&2
    head "$work/info.err" >&2
    exit 1
  fi
}

left_behind=0
checked=0
for ((k = 1; k <= kills; k++)); do
  if ((k % 2)); then
    find "$work/out" -maxdepth 1 -type f ! -name '*lumatra-*.tmp' -delete
    (convert) >/dev/null 2>&1 & # exec: $! is the converter itself
  else
    (convert --force) >/dev/null 2>&1 &
  fi
  pid=$!
  sleep "$(awk -v ms="$full_ms" -v r="$RANDOM" 'BEGIN { printf "%.3f", ms * r / 32768 / 1000 }')"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  t=$(temporaries)
  left_behind=$((left_behind + t))
  targets=$(find "$work/out" -maxdepth 1 -type f ! -name '*.tmp' | wc -l)
  check_targets
  checked=$((checked + targets))
  echo "kill $k: $targets targets, all load; $t temporaries"
done
echo "$checked targets checked after $kills kills: all load"

# The next run removes what the killed runs left.
(convert) >/dev/null 2>&1 || true
t=$(temporaries)
echo "temporaries left by $kills kills: $left_behind in total; after the next run: $t"
((t == 0)) || { echo "FAIL: temporaries remain" >&2; exit 1; }
echo "PASS"
