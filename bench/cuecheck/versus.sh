#!/usr/bin/env bash
# Two cuecheck binaries side by side: CPU time and instructions executed.
#
#   bench/cuecheck/versus.sh OLD NEW [--sizes 10M,100M] [--runs 7] [--formats sub,srt,sbv]
#                  [--kinds clean,faulty] [--callgrind-size 5M] [--dir DIR]
#
# For every size, format and kind it generates the file (gen.py), warms the page cache and
# times both binaries, taking turns run after run (bench/cputime.py: user + system CPU
# seconds, the median of --runs), clean files with standard output to /dev/null, faulty
# ones to a file. At --callgrind-size ("none" skips it) callgrind counts the instructions
# each binary executes: a figure that the machine's load does not move. The load average
# is printed before and after; the table gives old, new and new/old.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$(dirname "$here")")
gen="$here/gen.py"
cputime="$(dirname "$here")/cputime.py"

[ $# -ge 2 ] || { sed -n '2,12p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
shift 2
sizes=10M,100M
runs=7
formats=sub,srt,sbv
kinds=clean,faulty
cg_size=5M
dir=/tmp/cuecheck-versus
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes=$2; shift ;;
    --runs) runs=$2; shift ;;
    --formats) formats=$2; shift ;;
    --kinds) kinds=$2; shift ;;
    --callgrind-size) cg_size=$2; shift ;;
    --dir) dir=$2; shift ;;
    *) echo "versus.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
case "$(realpath -m "$dir")/" in
  "$root"/*) echo "versus.sh: the data directory must lie outside the repository" >&2; exit 2 ;;
esac
if [ "$cg_size" != none ] && ! command -v valgrind >/dev/null; then
  echo "versus.sh: no valgrind: instruction counts left out" >&2
  cg_size=none
fi

mkdir -p "$dir/work"
trap 'rm -rf "$dir"' EXIT
echo "old: $old"
echo "new: $new"
echo "load at start: $(cut -d' ' -f1-3 /proc/loadavg)"

IFS=, read -ra fmts <<<"$formats"
IFS=, read -ra knds <<<"$kinds"
IFS=, read -ra szs <<<"$sizes"
rows=()

make_file() {  # make_file FORMAT KIND SIZE: prints the path
  local file="$dir/in-$2-$3.$1"
  python3 "$gen" --format "$1" --kind "$2" --size "$3" --out "$file" >/dev/null
  cat "$file" >/dev/null  # warm the page cache
  echo "$file"
}

for s in "${szs[@]}"; do
  for f in "${fmts[@]}"; do
    for k in "${knds[@]}"; do
      file=$(make_file "$f" "$k" "$s")
      out=/dev/null
      [ "$k" = faulty ] && out="$dir/work/stdout.txt"
      mapfile -t res < <(python3 "$cputime" "$runs" "$dir/work" \
        "$out" "$old" "$file" ";;" "$out" "$new" "$file")
      rows+=("$f $k $s cpu_s ${res[0]%% *} ${res[1]%% *}")
      rm -f "$file" "$file.meta"
    done
  done
done

instructions() {  # instructions BIN FILE
  (cd "$dir/work" && valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" "$2" \
    </dev/null 2>&1 >/dev/null | sed -n 's/.*Collected : //p')
}
if [ "$cg_size" != none ]; then
  for f in "${fmts[@]}"; do
    for k in "${knds[@]}"; do
      file=$(make_file "$f" "$k" "$cg_size")
      rows+=("$f $k $cg_size instr $(instructions "$old" "$file") $(instructions "$new" "$file")")
      rm -f "$file" "$file.meta"
    done
  done
fi

echo "load at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "cpu_s: median CPU seconds (user + system) of $runs runs taken in turns; instr: callgrind"
printf '%-6s %-6s %5s %-6s %14s %14s %8s\n' format kind size what old new new/old
for r in "${rows[@]}"; do
  read -r f k s what a b <<<"$r"
  awk -v f="$f" -v k="$k" -v s="$s" -v w="$what" -v a="$a" -v b="$b" 'BEGIN {
    printf "%-6s %-6s %5s %-6s %14s %14s %8s\n", f, k, s, w, a, b, (a > 0 ? sprintf("%.4f", b / a) : "-")
  }'
done
