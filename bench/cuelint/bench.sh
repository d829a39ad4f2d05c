#!/usr/bin/env bash
# cuelint against cuecheck: one large file of each format, and a batch of small files.
#
#   bench/cuelint/bench.sh [--size 500M] [--count 10000] [--file-size 50K] [--runs 3]
#                          [--formats srt,sub,sbv] [--dir /tmp/cuelint-bench] [--no-batch]
#
# Builds the Release binaries in build-bench when needed. For each format it generates one
# file (bench/cuelint/gen.py), reads it once to warm the page cache, and times cuecheck
# (standard input from /dev/null, run in a scratch folder for its errors.txt) and cuelint,
# alternating: the median wall time and processor time (user + sys) of --runs runs each,
# from /usr/bin/time (1/100 s); then the peak resident memory of each, once. The batch part
# generates --count files of about --file-size and times one run of cuecheck per file
# against one cuelint run on their folder (and cuelint -j 1), with the processor use
# ((user + sys) / wall) of each. The load of the machine (uptime) is printed before and
# after: other work on it shows in the figures.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$(dirname "$here")")
build="$root/build-bench"
size=500M
count=10000
file_size=50K
runs=3
formats=srt,sub,sbv
dir=/tmp/cuelint-bench
batch=1

while [ $# -gt 0 ]; do
  case "$1" in
    --size) size=$2; shift ;;
    --count) count=$2; shift ;;
    --file-size) file_size=$2; shift ;;
    --runs) runs=$2; shift ;;
    --formats) formats=$2; shift ;;
    --dir) dir=$2; shift ;;
    --no-batch) batch=0 ;;
    -h|--help) sed -n '2,15p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "cuelint_bench.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
case "$(realpath -m "$dir")/" in
  "$root"/*) echo "cuelint_bench.sh: the data folder must lie outside the repository" >&2; exit 2 ;;
esac

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCUECHECK_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j 2 >/dev/null
cuecheck="$build/cuecheck"
cuelint="$build/cuelint"
[ -x "$cuelint" ] || { echo "cuelint_bench.sh: $cuelint was not built" >&2; exit 2; }

mkdir -p "$dir/scratch"
trap 'rm -rf "$dir"' EXIT
echo "machine: $(nproc) processors; load before: $(uptime | sed 's/.*load average: //')"

now() { echo "$EPOCHREALTIME"; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", b - a}'; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

run_cuecheck() { (cd "$dir/scratch" && "$cuecheck" "$1" </dev/null >/dev/null); }
run_cuelint() { "$cuelint" "$@" >/dev/null 2>&1 || true; }

# peak RSS in KiB, wall time and processor time (user + sys) of one command
timed() {
  /usr/bin/time -f "%M %e %U %S" -o "$dir/time.txt" "$@" </dev/null >/dev/null 2>&1 || true
  read -r kib wall user sys < <(tail -n 1 "$dir/time.txt")
  echo "$kib $wall $(awk -v u="$user" -v s="$sys" 'BEGIN {printf "%.2f", u + s}')"
}

# peak RSS in KiB, and (user + sys) / wall, of one command
measure() {
  /usr/bin/time -f "%M %U %S %e" -o "$dir/time.txt" "$@" </dev/null >/dev/null 2>&1 || true
  # The last line: a failing status adds a line before it.
  read -r kib user sys wall < <(tail -n 1 "$dir/time.txt")
  echo "$kib $(awk -v u="$user" -v s="$sys" -v w="$wall" 'BEGIN {printf "%.2f", (w > 0) ? (u + s) / w : 0}')"
}

rows=()
IFS=, read -ra fmts <<<"$formats"
for f in "${fmts[@]}"; do
  file="$dir/big.$f"
  python3 "$here/gen.py" big --format "$f" --size "$size" --out "$file" >/dev/null
  mib=$(awk -v b="$(stat -c %s "$file")" 'BEGIN {printf "%.0f", b / 1048576}')
  cat "$file" >/dev/null
  # Wall time, and processor time (user + sys), median of the runs; a loaded machine
  # stretches the wall time more than the processor time.
  aw=() ac=() bw=() bc=()
  for ((i = 0; i < runs; i++)); do
    read -r _ w c <<<"$(cd "$dir/scratch" && timed "$cuecheck" "$file")"
    aw+=("$w"); ac+=("$c")
    read -r _ w c <<<"$(timed "$cuelint" "$file")"
    bw+=("$w"); bc+=("$c")
  done
  ta=$(printf '%s\n' "${aw[@]}" | median)
  tb=$(printf '%s\n' "${bw[@]}" | median)
  ca=$(printf '%s\n' "${ac[@]}" | median)
  cb=$(printf '%s\n' "${bc[@]}" | median)
  read -r rss_a _ <<<"$(cd "$dir/scratch" && measure "$cuecheck" "$file")"
  read -r rss_b _ <<<"$(measure "$cuelint" "$file")"
  faults=$( ("$cuelint" "$file" 2>&1 >/dev/null || true) | tail -n 1 | sed 's/.*with faults, //')
  rows+=("$(printf '%-4s %5s MiB | cuecheck %6.3f s wall %6.3f s cpu %5.1f MiB | cuelint %6.3f s wall %6.3f s cpu %5.1f MiB | ratio wall %4.2f cpu %4.2f | %s' \
    "$f" "$mib" "$ta" "$ca" "$(awk -v k="$rss_a" 'BEGIN {print k / 1024}')" "$tb" "$cb" \
    "$(awk -v k="$rss_b" 'BEGIN {print k / 1024}')" "$(awk -v a="$ta" -v b="$tb" 'BEGIN {print b / a}')" \
    "$(awk -v a="$ca" -v b="$cb" 'BEGIN {print b / a}')" "$faults")")
  echo "${rows[-1]}"
  rm -f "$file" "$dir/scratch/errors.txt"
done

if [ "$batch" = 1 ]; then
  bdir="$dir/batch"
  python3 "$here/gen.py" batch --dir "$bdir" --count "$count" --size "$file_size" >/dev/null
  cat "$bdir"/*/* >/dev/null
  mapfile -t files < <(find "$bdir" -type f | LC_ALL=C sort)
  t0=$(now)
  for x in "${files[@]}"; do run_cuecheck "$x"; done
  t1=$(now)
  ta=$(elapsed "$t0" "$t1")
  t0=$(now); run_cuelint "$bdir"; t1=$(now)
  tb=$(elapsed "$t0" "$t1")
  t0=$(now); run_cuelint -j 1 "$bdir"; t1=$(now)
  tc=$(elapsed "$t0" "$t1")
  read -r rss use <<<"$(measure "$cuelint" "$bdir")"
  read -r _ use1 <<<"$(measure "$cuelint" -j 1 "$bdir")"
  echo "batch  ${#files[@]} files of ~$file_size: ${#files[@]} cuecheck runs $ta s;" \
    "one cuelint run $tb s (processors used $use, peak $(awk -v k="$rss" 'BEGIN {print k / 1024}') MiB);" \
    "cuelint -j 1 $tc s (processors used $use1);" \
    "ratio $(awk -v a="$ta" -v b="$tb" 'BEGIN {printf "%.1f", a / b}')x"
  rm -rf "$bdir"
fi
echo "load after: $(uptime | sed 's/.*load average: //')"
