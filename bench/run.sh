#!/usr/bin/env bash
# cuecheck throughput and memory benchmark. See bench/README.md.
#
#   bench/run.sh [--quick] [--sizes 10M,500M] [--mem-size 1G] [--runs 5]
#                [--formats srt,sub,sbv] [--kinds clean,faulty] [--dir DIR] [--keep]
#
# Builds the Release binary in build-bench if needed, checks the generator's files on
# 1 MB samples, then for every size, format and kind: generates the file, warms the page
# cache, times `wc -l FILE` and `cuecheck FILE </dev/null` (standard output to /dev/null
# and to a file; median of --runs runs each), measures the peak resident memory, checks
# the number of lines in errors.txt, deletes the file and prints one table at the end.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build="$root/build-bench"
bin="$build/cuecheck"
gen="$here/gen.py"

sizes="10M,500M"
mem_size="1G"
runs=5
formats="srt,sub,sbv"
kinds="clean,faulty"
dir=/tmp/cuecheck-bench
keep=0

usage() {
  sed -n '2,11p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
  exit "${1:-0}"
}

while [ $# -gt 0 ]; do
  case "$1" in
    --quick) sizes="2M,10M"; mem_size="100M"; runs=3 ;;
    --sizes) sizes="$2"; shift ;;
    --mem-size) mem_size="$2"; shift ;;   # "" or "none": no memory-only size
    --runs) runs="$2"; shift ;;
    --formats) formats="$2"; shift ;;
    --kinds) kinds="$2"; shift ;;
    --dir) dir="$2"; shift ;;
    --keep) keep=1 ;;
    -h|--help) usage 0 ;;
    *) echo "run.sh: unknown option $1" >&2; usage 2 ;;
  esac
  shift
done
[ "$mem_size" = none ] && mem_size=""

case "$(realpath -m "$dir")/" in
  "$root"/*) echo "run.sh: the data directory must lie outside the repository" >&2; exit 2 ;;
esac

# --- build -----------------------------------------------------------------------------
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCUECHECK_TESTS=OFF >/dev/null
fi
cmake --build "$build" >/dev/null
echo "cuecheck: $bin, built $(date -r "$bin" "+%Y-%m-%d %H:%M:%S")"

mkdir -p "$dir"
work="$dir/run"
rm -rf "$work"
mkdir -p "$work"
cleanup() {
  rm -rf "$work"
  if [ "$keep" = 0 ]; then
    rm -f "$dir"/bench-* "$dir"/check-*
    rmdir "$dir" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# --- peak resident memory: /usr/bin/time if present, else a python wrapper -------------
# The wrapper cannot use getrusage(RUSAGE_CHILDREN): a child forked from python carries
# python's pages until it executes cuecheck, and that high-water mark counts too. It reads
# VmHWM of cuecheck's own process instead, while cuecheck waits for its line on standard
# input at the end of the run (the summary line shows it got there).
if [ -x /usr/bin/time ]; then
  peak_kib() {  # peak_kib OUT FILE: runs cuecheck once in $work, prints KiB
    (cd "$work" && /usr/bin/time -v "$bin" "$2" </dev/null >"$1" 2>"$work/time.txt") || true
    awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$work/time.txt"
  }
else
  peak_kib() {
    (cd "$work" && python3 -c '
import subprocess, sys
p = subprocess.Popen([sys.argv[1], sys.argv[3]], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
tail = b""
peak = 0
with open(sys.argv[2], "wb") as out:
    while True:
        data = p.stdout.read1(1 << 16)
        if not data:
            break
        out.write(data)
        tail = (tail + data)[-64:]
        if tail.endswith((b"No errors were found\n", b"errors.txt written...\n")):
            with open("/proc/%d/status" % p.pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        peak = int(line.split()[1])
            p.stdin.close()
p.wait()
print(peak)' "$bin" "$1" "$2")
  }
fi

# --- timing ----------------------------------------------------------------------------
# median_of CMD...: runs the command $runs times, prints the median wall time in seconds.
median_of() {
  local times=() i t0 t1
  for ((i = 0; i < runs; i++)); do
    t0=$EPOCHREALTIME
    "$@"
    t1=$EPOCHREALTIME
    times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.6f", b - a}')")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{v[NR] = $1} END {
    if (NR % 2) print v[(NR + 1) / 2]; else printf "%.6f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

run_wc() { wc -l "$1" >/dev/null; }
run_null() { (cd "$work" && "$bin" "$1" </dev/null >/dev/null); }
run_file() { (cd "$work" && "$bin" "$1" </dev/null >"$work/stdout.txt"); }

meta() { sed -n "s/^$2=//p" "$1.meta"; }

bytes_of() {
  python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); import gen; print(gen.parse_size(sys.argv[2]))' \
    "$here" "$1"
}

# --- correctness of the generated files, on 1 MB of each ------------------------------
bad=0
echo "checking the generated files on 1 MB samples..."
IFS=, read -ra fmts <<<"$formats"
IFS=, read -ra knds <<<"$kinds"
for f in "${fmts[@]}"; do
  for k in "${knds[@]}"; do
    file="$dir/check-$k.$f"
    python3 "$gen" --format "$f" --kind "$k" --size 1M --out "$file" >/dev/null
    (cd "$work" && "$bin" "$file" </dev/null >"$work/stdout.txt")
    # A failed check is reported and makes the exit status 1; the timing still runs.
    if ! python3 "$gen" --verify "$file" --errors "$work/errors.txt" --console "$work/stdout.txt"; then
      bad=1
    fi
    rm -f "$file" "$file.meta" "$work/errors.txt" "$work/stdout.txt"
  done
done

# --- the benchmark ---------------------------------------------------------------------
rows=()
bench_file() {  # bench_file FORMAT KIND SIZE MODE   (MODE: time or mem)
  local f=$1 k=$2 size=$3 mode=$4 file n mb wc_s null_s file_s rss_null rss_file lines want
  file="$dir/bench-$k-$size.$f"
  python3 "$gen" --format "$f" --kind "$k" --size "$size" --out "$file" >/dev/null
  n=$(meta "$file" bytes)
  mb=$(awk -v b="$n" 'BEGIN {printf "%.1f", b / 1048576}')
  cat "$file" >/dev/null  # warm the page cache

  local saved=$runs
  [ "$mode" = mem ] && runs=1
  wc_s=$(median_of run_wc "$file")
  null_s=$(median_of run_null "$file")
  file_s=$(median_of run_file "$file")
  runs=$saved

  # The run to a file must have written what the generator expects.
  lines=$(wc -l <"$work/errors.txt")
  want=$(meta "$file" errors_lines)
  if [ "$lines" != "$want" ]; then
    echo "run.sh: $file: errors.txt has $lines lines, expected $want" >&2
    bad=1
  fi
  rss_null=$(peak_kib /dev/null "$file")
  rss_file=$(peak_kib "$work/stdout.txt" "$file")
  local subs reps
  subs=$(meta "$file" subtitles)
  reps=$(meta "$file" reports)
  rows+=("$f $k $mb null $subs $reps $wc_s $null_s $rss_null $mode")
  rows+=("$f $k $mb file $subs $reps $wc_s $file_s $rss_file $mode")
  rm -f "$file" "$file.meta" "$work/errors.txt" "$work/stdout.txt"
}

IFS=, read -ra szs <<<"$sizes"
for s in "${szs[@]}" ${mem_size:+"$mem_size"}; do
  mode=time
  [ -n "$mem_size" ] && [ "$s" = "$mem_size" ] && mode=mem
  for f in "${fmts[@]}"; do
    for k in "${knds[@]}"; do
      echo "benchmarking $f $k $s ($mode)..."
      bench_file "$f" "$k" "$s" "$mode"
    done
  done
done

# --- the table -------------------------------------------------------------------------
# Targets: clean files at most 4x wc -l (aim 2x); faulty files with standard output to a
# file at most 8x; peak resident memory under 4 MiB. The faulty rows with standard output
# to /dev/null are shown against the same 8x.
echo
printf '%-6s %-6s %9s %-6s %10s %10s %8s %8s %7s %9s %10s %4s %s\n' \
  format kind MiB stdout subtitles reports "wc -l s" "cue s" "MB/s" "ratio" "peak RSS" runs verdict
for r in "${rows[@]}"; do
  read -r f k mb out subs reps wc_s s rss mode <<<"$r"
  awk -v f="$f" -v k="$k" -v mb="$mb" -v out="$out" -v subs="$subs" -v reps="$reps" \
      -v wc="$wc_s" -v s="$s" -v rss="$rss" -v mode="$mode" -v runs="$runs" 'BEGIN {
    ratio = (wc > 0) ? s / wc : 0
    limit = (k == "clean") ? 4 : 8
    verdict = (ratio <= limit) ? "ok" : "SLOW(>" limit "x)"
    if (k == "clean" && ratio <= limit && ratio > 2) verdict = "ok(>2x aim)"
    if (rss >= 4096) verdict = verdict ",RSS>=4MiB"
    printf "%-6s %-6s %9.1f %-6s %10d %10d %8.4f %8.4f %7.0f %8.1fx %7.2f MiB %4d %s\n",
      f, k, mb, out, subs, reps, wc, s, (s > 0 ? mb * 1.048576 / s : 0), ratio, rss / 1024,
      (mode == "mem" ? 1 : runs), verdict
  }'
done
exit "$bad"
