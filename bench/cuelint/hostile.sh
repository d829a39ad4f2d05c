#!/usr/bin/env bash
# cuelint on hostile files against a clean file of the same size: processor time and peak
# memory, old binary and new side by side.
#
#   bench/cuelint/hostile.sh OLD NEW [--size 1G] [--dir /tmp/cuelint-hostile]
#                            [--old-limit 8G] [--old-timeout 300]
#
# Files (SubRip, SIZE each, sizes take K, M and G): clean (bench/cuelint/gen.py), one
# subtitle whose text lines are 1,000 "|" each (a fault per "|"; also run with that rule
# off), one line of "<a" (unclosed openers), lines of a million "<a" each, and bytes
# without a line end. Each binary runs once per file with -j 1, its output to /dev/null,
# under /usr/bin/time: user + sys seconds and the peak resident set. OLD runs under an
# address-space limit (--old-limit) and a timeout (--old-timeout): a run that ends by
# either is marked. The ratio is the run's processor time to the clean file's.
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,14p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 2; }
old=$(realpath "$1") new=$(realpath "$2")
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=1G dir=/tmp/cuelint-hostile old_limit=8G old_timeout=300
while [ $# -gt 1 ]; do
  case "$1" in
    --size) size=$2 ;;
    --dir) dir=$2 ;;
    --old-limit) old_limit=$2 ;;
    --old-timeout) old_timeout=$2 ;;
    *) echo "hostile.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
[ $# -eq 0 ] || { echo "hostile.sh: unknown option $1" >&2; exit 2; }
bytes() { numfmt --from=iec "$1"; }
n=$(bytes "$size")
kib=$(($(bytes "$old_limit") / 1024))
mkdir -p "$dir"
trap 'rm -rf "$dir"' EXIT

# make NAME: writes $dir/NAME.srt of n bytes.
make() {
  local f="$dir/$1.srt"
  case "$1" in
    clean) python3 "$here/gen.py" big --format srt --size "$size" --out "$f" >/dev/null ;;
    pipes | pipes-off)
      python3 - "$f" "$n" <<'PY'
import sys
n = int(sys.argv[2])
with open(sys.argv[1], "wb") as f:
    head = b"1\n00:00:01,000 --> 00:00:05,000\n"
    f.write(head)
    line = b"|" * 1000 + b"\n"
    block = line * 1024
    left = n - len(head)
    while left >= len(block):
        f.write(block)
        left -= len(block)
    f.write(line * (left // len(line)))
PY
      ;;
    openers | opener-lines | no-end)
      python3 - "$f" "$n" "$1" <<'PY'
import sys
n, kind = int(sys.argv[2]), sys.argv[3]
with open(sys.argv[1], "wb") as f:
    head = b"" if kind == "no-end" else b"1\n00:00:01,000 --> 00:00:05,000\n"
    f.write(head)
    unit = {"openers": b"<a" * 32768, "no-end": b"x" * 65536,
            "opener-lines": b"<a" * 1000000 + b"\n"}[kind]
    left = n - len(head)
    while left >= len(unit):
        f.write(unit)
        left -= len(unit)
PY
      ;;
  esac
}

# measure LABEL BINARY FILE ARGS...: "SECONDS PEAK_MIB NOTE"
measure() {
  local bin=$2 file=$3 limit=$4 tmo=$5 note=- st=0
  shift 5
  /usr/bin/time -f "%U %S %M" -o "$dir/time" bash -c \
    'ulimit -v '"$limit"'; exec timeout '"$tmo"' "$@" >/dev/null 2>"'"$dir/err"'"' _ \
    "$bin" -j 1 "$@" "$file" || st=$?
  case $st in
    0 | 1) ;;
    124) note="timed out" ;;
    *) note="exit $st$(grep -q bad_alloc "$dir/err" && echo ', out of memory')" ;;
  esac
  # /usr/bin/time writes a line of its own for a failed command first.
  read -r u s m < <(tail -1 "$dir/time")
  printf '%s %s %s\n' "$(echo "$u + $s" | bc)" $((m / 1024)) "${note// /_}"
}

echo "hostile.sh: $size files, $(nproc) processors, load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-13s %9s %9s %7s %-26s %9s %9s %7s %s\n' file old_cpu_s old_MiB ratio old_note \
  new_cpu_s new_MiB ratio new_note
old_clean="" new_clean=""
for name in clean pipes pipes-off openers opener-lines no-end; do
  make "$name"
  extra=()
  [ "$name" = pipes-off ] && extra=(--ignore line-break-mark)
  cat "$dir/$name.srt" >/dev/null
  read -r ot om on < <(measure old "$old" "$dir/$name.srt" "$kib" "$old_timeout" "${extra[@]}")
  read -r nt nm nn < <(measure new "$new" "$dir/$name.srt" unlimited 0 "${extra[@]}")
  [ "$name" = clean ] && old_clean=$ot new_clean=$nt
  ratio() { echo "scale=2; $1 / $2" | bc; }
  printf '%-13s %9s %9s %7s %-26s %9s %9s %7s %s\n' "$name" "$ot" "$om" \
    "$(ratio "$ot" "$old_clean")" "$on" "$nt" "$nm" "$(ratio "$nt" "$new_clean")" "$nn"
  rm -f "$dir/$name.srt"
done
echo "hostile.sh: load after $(cut -d' ' -f1-3 /proc/loadavg)"
