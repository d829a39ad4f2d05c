#!/usr/bin/env bash
# cuelint on WebVTT against cuelint on SubRip: the same cues written in both formats.
#
#   bench/cuelint/webvtt.sh CUELINT [--size 500M] [--runs 5] [--dir /tmp/cuelint-webvtt]
#
# Generates one file of each (bench/cuelint/gen.py, same seed: the WebVTT file is the
# SubRip file as a converter writes it), reads both once to warm the page cache, then times
# CUELINT on each, interleaved (bench/cputime.py: median processor time, user + sys), and
# prints both times, the ratio WebVTT / SubRip and the peak resident memory on WebVTT.
set -euo pipefail
[ $# -ge 1 ] || { sed -n '2,9p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 2; }
cuelint=$(realpath "$1")
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=500M runs=5 dir=/tmp/cuelint-webvtt
while [ $# -gt 1 ]; do
  case "$1" in
    --size) size=$2 ;;
    --runs) runs=$2 ;;
    --dir) dir=$2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
mkdir -p "$dir"
for f in srt vtt; do
  python3 "$here/gen.py" big --format "$f" --size "$size" --out "$dir/big.$f" >/dev/null
  cat "$dir/big.$f" >/dev/null
done
read -r t_srt _ t_vtt _ <<<"$(python3 "$here/../cputime.py" "$runs" "$dir" /dev/null \
  "$cuelint" big.srt ";;" /dev/null "$cuelint" big.vtt 2>/dev/null | tr '\n' ' ')"
rss=$( (/usr/bin/time -f %M "$cuelint" "$dir/big.vtt" >/dev/null || true) 2>&1 | tail -n 1)
awk -v s="$t_srt" -v v="$t_vtt" -v r="$rss" -v z="$size" 'BEGIN {
  printf "%s: SubRip %.3f s cpu, WebVTT %.3f s cpu, ratio %.2f; WebVTT peak %.1f MiB\n",
         z, s, v, v / s, r / 1024 }'
rm -f "$dir/big.srt" "$dir/big.vtt"
