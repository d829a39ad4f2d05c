#!/usr/bin/env bash
# The cost of the profiles: a cuelint of today against the new one with the classic profile
# (within 5%) and with the netflix profile (within 1.5 times classic).
#
#   bench/cuelint/profiles.sh OLD NEW [--size 100M] [--runs 5] [--formats srt,sub,sbv]
#                             [--dir /tmp/cuelint-profiles] [--old-netflix yes]
#
# For each format one file is generated (bench/cuelint/gen.py) and read once to warm the
# page cache; then OLD, NEW --profile classic and NEW --profile netflix run in turn, --runs
# times each (bench/cputime.py: median user + system time of the process itself, standard
# output to a file, the file systems synced between runs so that one run's output is not
# written back while the next is timed). Prints one line per format with the three times
# and the two ratios; with --old-netflix yes (an OLD that has profiles) OLD --profile
# netflix runs too, and its time and its ratio to OLD follow. The load of the machine
# (uptime) is printed before and after.
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,15p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 2; }
old=$(realpath "$1") new=$(realpath "$2")
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=100M runs=5 formats=srt,sub,sbv dir=/tmp/cuelint-profiles old_netflix=no
while [ $# -gt 1 ]; do
  case "$1" in
    --size) size=$2 ;;
    --runs) runs=$2 ;;
    --formats) formats=$2 ;;
    --dir) dir=$2 ;;
    --old-netflix) old_netflix=$2 ;;
    *) echo "profiles.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
[ $# -eq 0 ] || { echo "profiles.sh: unknown option $1" >&2; exit 2; }
rm -rf "$dir"
mkdir -p "$dir"
trap 'rm -rf "$dir"' EXIT

echo "load before: $(uptime | sed 's/.*load average: //')"
printf '%-8s %10s %10s %10s %16s %16s' format today classic netflix classic/today \
  netflix/classic
[ "$old_netflix" = yes ] && printf ' %12s %16s' "old netflix" "old netflix/old"
echo
IFS=, read -ra fmts <<<"$formats"
for f in "${fmts[@]}"; do
  file="$dir/big.$f"
  python3 "$here/gen.py" big --format "$f" --size "$size" --out "$file" >/dev/null
  cat "$file" >/dev/null
  # --isolated: no config file found by chance changes what is timed.
  extra=()
  [ "$old_netflix" = yes ] && extra=(";;" "$dir/out" "$old" --isolated --profile netflix "$file")
  mapfile -t t < <(python3 "$here/../cputime.py" --sync "$runs" "$dir" "$dir/out" \
    "$old" "$file" ";;" "$dir/out" "$new" --isolated --profile classic "$file" ";;" \
    "$dir/out" "$new" --isolated --profile netflix "$file" "${extra[@]}" 2>/dev/null |
    awk '{print $1}')
  awk -v f="$f ($(stat -c %s "$file") B)" -v a="${t[0]}" -v b="${t[1]}" -v c="${t[2]}" \
    -v d="${t[3]:-}" 'BEGIN { printf "%-8s %9.3fs %9.3fs %9.3fs %16.3f %16.3f", f, a, b, c, b / a, c / b
      if (d != "") printf " %11.3fs %16.3f", d, d / a
      printf "\n" }'
  rm -f "$file"
done
echo "load after: $(uptime | sed 's/.*load average: //')"
