#!/usr/bin/env bash
# cuecheck throughput and memory benchmark. See bench/README.md.
#
#   bench/cuecheck/run.sh [--quick] [--sizes 400M] [--mem-sizes 10M,1G] [--runs 5]
#                [--formats srt,sub,sbv] [--kinds clean,faulty] [--dir DIR] [--keep]
#                [--bin CUECHECK] [--before OLD_CUECHECK]
#
# Checks the generator's files on 1 MB samples, then for every size, format and kind:
# generates the file, warms the page cache and measures the CPU time (user + system) of
# `wc -l FILE` and of `cuecheck FILE </dev/null`, clean files with standard output to
# /dev/null and faulty ones with standard output to a file (median of --runs runs, the
# programs taking turns), then the peak resident memory. With --before, the old binary
# runs in the same turns and its output must equal the new one's byte for byte.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$(dirname "$here")")
build="$root/build-bench"
bin=""
before=""
gen="$here/gen.py"

sizes="400M"
mem_sizes="10M,1G"
runs=5
formats="srt,sub,sbv"
kinds="clean,faulty"
dir=/tmp/cuecheck-bench
keep=0

usage() {
  sed -n '2,13p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
  exit "${1:-0}"
}

while [ $# -gt 0 ]; do
  case "$1" in
    --quick) sizes="10M"; mem_sizes="100M"; runs=3 ;;
    --sizes) sizes="$2"; shift ;;
    --mem-sizes|--mem-size) mem_sizes="$2"; shift ;;   # "none": no memory-only sizes
    --runs) runs="$2"; shift ;;
    --formats) formats="$2"; shift ;;
    --kinds) kinds="$2"; shift ;;
    --dir) dir="$2"; shift ;;
    --keep) keep=1 ;;
    --bin) bin=$(realpath "$2"); shift ;;
    --before) before=$(realpath "$2"); shift ;;
    -h|--help) usage 0 ;;
    *) echo "run.sh: unknown option $1" >&2; usage 2 ;;
  esac
  shift
done
[ "$mem_sizes" = none ] && mem_sizes=""

case "$(realpath -m "$dir")/" in
  "$root"/*) echo "run.sh: the data directory must lie outside the repository" >&2; exit 2 ;;
esac

# --- build -----------------------------------------------------------------------------
if [ -z "$bin" ]; then
  bin="$build/cuecheck"
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCUECHECK_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" >/dev/null
fi
echo "cuecheck: $bin, built $(date -r "$bin" "+%Y-%m-%d %H:%M:%S")"
[ -n "$before" ] && echo "before:   $before, built $(date -r "$before" "+%Y-%m-%d %H:%M:%S")"
echo "load at start: $(uptime)"

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
  peak_kib() {  # peak_kib BIN DIR OUT FILE: runs BIN once in DIR, prints KiB
    (cd "$2" && /usr/bin/time -v "$1" "$4" </dev/null >"$3" 2>"$2/time.txt") || true
    awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$2/time.txt"
  }
else
  peak_kib() {
    (cd "$2" && python3 -c '
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
print(peak)' "$1" "$3" "$4")
  }
fi

meta() { sed -n "s/^$2=//p" "$1.meta"; }

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
# One row per file and binary: format kind MiB stdout subtitles reports wc_s cue_s
# rss_kib runs which (new/old) same (yes/no/-).
rows=()
wa="$work/a"
wb="$work/b"
mkdir -p "$wa" "$wb"
bench_file() {  # bench_file FORMAT KIND SIZE MODE   (MODE: time or mem)
  local f=$1 k=$2 size=$3 mode=$4 file n mb out_a out_b label r=$runs
  file="$dir/bench-$k-$size.$f"
  python3 "$gen" --format "$f" --kind "$k" --size "$size" --out "$file" >/dev/null
  n=$(meta "$file" bytes)
  mb=$(awk -v b="$n" 'BEGIN {printf "%.1f", b / 1048576}')
  cat "$file" >/dev/null  # warm the page cache

  # Clean files: standard output to /dev/null; faulty files: to a file.
  if [ "$k" = clean ]; then
    out_a=/dev/null; out_b=/dev/null; label=null
  else
    out_a="$wa/stdout.txt"; out_b="$wb/stdout.txt"; label=file
  fi
  [ "$mode" = mem ] && r=1
  local cmds=(/dev/null wc -l "$file" ";;" "$out_a" "$bin" "$file")
  [ -n "$before" ] && cmds+=(";;" "$out_b" "$before" "$file")
  local res
  mapfile -t res < <(python3 "$(dirname "$here")/cputime.py" "$r" "$wa" "${cmds[@]}")
  local wc_s=${res[0]%% *} new_s=${res[1]%% *} old_s="" same=-
  [ -n "$before" ] && old_s=${res[2]%% *}

  # One more run of each binary, alone, for the peak resident memory; the new one's
  # errors.txt must hold what the generator expects, and the old one's must be the same.
  local lines want rss_new rss_old=""
  rss_new=$(peak_kib "$bin" "$wa" "$out_a" "$file")
  lines=$(wc -l <"$wa/errors.txt")
  want=$(meta "$file" errors_lines)
  if [ "$lines" != "$want" ]; then
    echo "run.sh: $file: errors.txt has $lines lines, expected $want" >&2
    bad=1
  fi
  if [ -n "$before" ]; then
    rss_old=$(peak_kib "$before" "$wb" "$out_b" "$file")
    # Byte for byte: errors.txt, and standard output where it went to a file.
    same=yes
    cmp -s "$wa/errors.txt" "$wb/errors.txt" || same=no
    if [ "$label" = file ]; then cmp -s "$out_a" "$out_b" || same=no; fi
    [ "$same" = yes ] || { echo "run.sh: $file: output of the two binaries differs" >&2; bad=1; }
  fi
  local subs reps
  subs=$(meta "$file" subtitles)
  reps=$(meta "$file" reports)
  rows+=("$f $k $mb $label $subs $reps $wc_s $new_s $rss_new $r new $same")
  [ -n "$before" ] && rows+=("$f $k $mb $label $subs $reps $wc_s $old_s $rss_old $r old $same")
  rm -f "$file" "$file.meta" "$wa"/* "$wb"/*
}

IFS=, read -ra szs <<<"$sizes"
IFS=, read -ra mszs <<<"$mem_sizes"
for s in "${szs[@]}"; do
  for f in "${fmts[@]}"; do
    for k in "${knds[@]}"; do
      echo "benchmarking $f $k $s..."
      bench_file "$f" "$k" "$s" time
    done
  done
done
for s in ${mem_sizes:+"${mszs[@]}"}; do
  for f in "${fmts[@]}"; do
    for k in "${knds[@]}"; do
      echo "memory $f $k $s..."
      bench_file "$f" "$k" "$s" mem
    done
  done
done

# --- the table -------------------------------------------------------------------------
# Targets: clean files (standard output to /dev/null) at most 2.5x the CPU time of wc -l
# (aim 2x); faulty files (standard output to a file) at most 10x; peak resident memory
# under 4 MiB. "old/new" is the CPU time of the old binary over the new one's.
echo
echo "load at end: $(uptime)"
echo "times are CPU seconds (user + system), medians; ratio = cuecheck / wc -l on the same file"
printf '%-6s %-6s %7s %-4s %-6s %9s %9s %8s %8s %7s %7s %10s %4s %-4s %s\n' \
  format kind MiB bin stdout subtitles reports "wc -l s" "cue s" "MB/s" ratio "peak RSS" runs same verdict
prev_new=""
for r in "${rows[@]}"; do
  read -r f k mb out subs reps wc_s s rss n which same <<<"$r"
  awk -v f="$f" -v k="$k" -v mb="$mb" -v out="$out" -v subs="$subs" -v reps="$reps" \
      -v wc="$wc_s" -v s="$s" -v rss="$rss" -v n="$n" -v which="$which" -v same="$same" \
      -v newt="$prev_new" 'BEGIN {
    ratio = (wc > 0) ? s / wc : 0
    limit = (k == "clean") ? 2.5 : 10
    verdict = (ratio <= limit) ? "ok" : "SLOW(>" limit "x)"
    if (k == "clean" && ratio <= limit && ratio > 2) verdict = "ok(>2x aim)"
    if (rss >= 4096) verdict = verdict ",RSS>=4MiB"
    if (n == 1) verdict = verdict ",1 run"
    if (which == "old" && newt > 0) verdict = verdict sprintf(", old/new %.2f", s / newt)
    printf "%-6s %-6s %7.1f %-4s %-6s %9d %9d %8.4f %8.4f %7.0f %6.2fx %6.2f MiB %4d %-4s %s\n",
      f, k, mb, which, out, subs, reps, wc, s, (s > 0 ? mb * 1.048576 / s : 0), ratio,
      rss / 1024, n, same, verdict
  }'
  [ "$which" = new ] && prev_new=$s
done
exit "$bad"
