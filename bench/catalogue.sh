#!/usr/bin/env bash
# Catalogue throughput: converts a catalogue of real LDT files (copies of the corpus under
# distinct names) to IES 1995 with one and with two threads, and prints files/s (wall clock),
# files per CPU-second (user + sys) and peak RSS, all taken from /usr/bin/time -v. Every run
# writes into a folder of its own, so each target is new, and includes the final flush to disk.
# Nothing is deleted between runs: ext4 scans past recently freed inodes when it allocates new
# ones, which would charge one run with the deletions of the one before. The catalogue itself is
# deleted at the end, so a second call on the same disk pays for that in system time:
# TMPDIR=/dev/shm keeps the file system's part of the figures the same from call to call.
#
#   bench/catalogue.sh [CLI] [FILES] [JOBS...]
#     CLI    lumatra-cli to measure (default: build/src/cli/lumatra-cli)
#     FILES  catalogue size (default 10000)
#     JOBS   thread counts to run (default: 1 2); "-" runs without -j (a build that has none)
#   LIST=1 passes the files as a list file (@FILE) instead of on the command line.
#   CORPUS=dir takes the LDT files from dir (default: ../shared/corpus beside the source tree).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$here/build/src/cli/lumatra-cli}")
count=${2:-10000}
shift $(($# > 2 ? 2 : $#))
jobs=("$@")
[ ${#jobs[@]} -gt 0 ] || jobs=(1 2)
corpus=${CORPUS:-$here/../shared/corpus}

work=$(mktemp -d "${TMPDIR:-/tmp}/lumatra-catalogue.XXXXXX")
trap 'rm -rf "$work"' EXIT

mapfile -t sources < <(find "$corpus" -type f -iname '*.ldt' | sort)
[ ${#sources[@]} -gt 0 ] || { echo "no LDT files under $corpus" >&2; exit 1; }
mkdir "$work/c"
# One tee per source writes all of its copies: file i is a copy of source i mod n.
for ((s = 0; s < ${#sources[@]} && s < count; ++s)); do
  copies=()
  for ((i = s; i < count; i += ${#sources[@]})); do
    printf -v name '%s/c/%06d_%s' "$work" "$i" "${sources[s]##*/}"
    copies+=("$name")
  done
  tee "${copies[@]}" <"${sources[s]}" >/dev/null
done
(cd "$work" && find c -type f | sort >list)
echo "catalogue: $count files from ${#sources[@]} LDT files; $cli"

for j in "${jobs[@]}"; do
  out="out$j"
  jflag=()
  [ "$j" = "-" ] || jflag=(-j "$j")
  if [ "${LIST:-0}" = 1 ]; then inputs=(@list); else mapfile -t inputs <"$work/list"; fi
  (cd "$work" && /usr/bin/time -v "$cli" convert --to ies95 --settings "$work/none.ini" \
    --out "$out" "${jflag[@]}" "${inputs[@]}" >run.out 2>time.txt) || true
  awk -v n="$count" -v j="$j" -F': ' '
    /User time/ { user = $2 } /System time/ { sys = $2 }
    /Elapsed \(wall clock\)/ { k = split($2, t, ":"); wall = 0; for (i = 1; i <= k; ++i) wall = wall * 60 + t[i] }
    /Maximum resident set size/ { rss = $2 }
    END { printf "-j %s: %6.0f files/s wall  %6.0f files/CPU-s  (user %.2f s, sys %.2f s, wall %.2f s)  peak RSS %.1f MB\n",
                 j, n / wall, n / (user + sys), user, sys, wall, rss / 1024 }' "$work/time.txt"
  grep -q "converted" "$work/run.out" && sed 's/^/   /' "$work/run.out"
  outs=$(find "$work/$out" -type f | wc -l)
  [ "$outs" = "$count" ] || echo "   only $outs of $count targets written" >&2
done
