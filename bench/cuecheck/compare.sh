#!/usr/bin/env bash
# Runs an old and a new cuecheck on the same inputs and compares standard output,
# "errors.txt" and the exit status byte for byte.
#
#   bench/cuecheck/compare.sh OLD NEW [--sizes 400M] [--formats srt,sub,sbv] [--kinds clean,faulty]
#                    [--dir DIR] [--no-generated] [--no-corpus] [--tree DIR]...
#
# Inputs: generated files of every format and kind (bench/cuecheck/gen.py, one at a time, deleted
# after use), then every file of fuzz/cuecheck/corpus with no second argument, with "-" and with
# "23.976", and so every file below each --tree folder (an e2e case's case.* files left out).
# Prints one line per input and run, then the counts, and exits 1 on any difference.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$(dirname "$here")")
[ $# -ge 2 ] || { sed -n '2,12p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 2; }
old=$(realpath "$1")
new=$(realpath "$2")
shift 2
sizes=400M
formats=srt,sub,sbv
kinds=clean,faulty
dir=/tmp/cuecheck-compare
generated=1
corpus=1
trees=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sizes) sizes=$2; shift ;;
    --formats) formats=$2; shift ;;
    --kinds) kinds=$2; shift ;;
    --dir) dir=$2; shift ;;
    --no-generated) generated=0 ;;
    --no-corpus) corpus=0 ;;
    --tree) trees+=("$(realpath "$2")"); shift ;;
    *) echo "compare.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
case "$(realpath -m "$dir")/" in
  "$root"/*) echo "compare.sh: the data directory must lie outside the repository" >&2; exit 2 ;;
esac
mkdir -p "$dir/old" "$dir/new"
trap 'rm -rf "$dir"' EXIT

bad=0
runs=0
differ=0
# compare_run LABEL ARGS...: both binaries in their own directory, standard input empty.
compare_run() {
  local label=$1 so sn
  shift
  rm -f "$dir/old/"* "$dir/new/"*
  set +e
  (cd "$dir/old" && "$old" "$@" </dev/null >"$dir/old/stdout.txt" 2>"$dir/old/stderr.txt")
  so=$?
  (cd "$dir/new" && "$new" "$@" </dev/null >"$dir/new/stdout.txt" 2>"$dir/new/stderr.txt")
  sn=$?
  set -e
  local verdict=same
  [ "$so" = "$sn" ] || verdict="DIFFERENT exit status $so/$sn"
  local f
  for f in stdout.txt stderr.txt errors.txt; do
    if [ -e "$dir/old/$f" ] || [ -e "$dir/new/$f" ]; then
      cmp -s "$dir/old/$f" "$dir/new/$f" || verdict="DIFFERENT $f"
    fi
  done
  local eo=0 en=0
  [ -e "$dir/old/errors.txt" ] && eo=$(stat -c %s "$dir/old/errors.txt")
  [ -e "$dir/new/errors.txt" ] && en=$(stat -c %s "$dir/new/errors.txt")
  printf '%-58s exit %3s  stdout %11s B  errors.txt %11s B  %s\n' "$label" "$sn" \
    "$(stat -c %s "$dir/new/stdout.txt")" "$en" "$verdict"
  runs=$((runs + 1))
  [ "$verdict" = same ] || { bad=1; differ=$((differ + 1)); }
}

three_runs() {  # three_runs LABEL FILE
  compare_run "$1" "$2"
  compare_run "$1 -" "$2" -
  compare_run "$1 23.976" "$2" 23.976
}

if [ "$generated" = 1 ]; then
  IFS=, read -ra szs <<<"$sizes"
  IFS=, read -ra fmts <<<"$formats"
  IFS=, read -ra knds <<<"$kinds"
  for s in "${szs[@]}"; do
    for f in "${fmts[@]}"; do
      for k in "${knds[@]}"; do
        file="$dir/gen-$k-$s.$f"
        python3 "$here/gen.py" --format "$f" --kind "$k" --size "$s" --out "$file" >/dev/null
        compare_run "$(basename "$file") ($(stat -c %s "$file") B)" "$file"
        rm -f "$file" "$file.meta"
      done
    done
  done
fi

if [ "$corpus" = 1 ]; then
  for file in "$root"/fuzz/cuecheck/corpus/*; do
    three_runs "corpus/$(basename "$file")" "$file"
  done
fi

for tree in ${trees[@]+"${trees[@]}"}; do
  while IFS= read -r -d '' file; do
    three_runs "${file#"$(dirname "$tree")"/}" "$file"
  done < <(find "$tree" -type f ! -name 'case.*' -print0 | sort -z)
done
echo "$runs runs, $((runs - differ)) the same, $differ different"
exit "$bad"
