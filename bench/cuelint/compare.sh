#!/usr/bin/env bash
# Runs an old and a new cuelint on the same inputs and compares standard output, standard
# error and the exit status byte for byte.
#
#   bench/cuelint/compare.sh OLD NEW [--sizes 1M,30M] [--dir DIR]
#                    [--skip corpus,seeds,e2e,generated]
#
# Inputs: every file of the shared corpus (CORPUS, default /work/shared/corpus) and the
# corpus folder walked whole; the fuzz seeds (fuzz/cuelint/corpus); the inputs of the e2e
# cases (tests/cuelint/e2e), each with its own argument lists and its folder walked;
# generated files of each format at each size and a folder of small ones
# (bench/cuelint/gen.py, one at a time, deleted after use). Each file and folder runs with
# every option set below, in text and in JSON. Prints one line per input, the counts, and
# exits 1 on any difference.
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,14p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 2; }
old=$(realpath "$1") new=$(realpath "$2")
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$(dirname "$here")")
corpus_dir=${CORPUS:-/work/shared/corpus}
sizes=1M,30M dir=/tmp/cuelint-compare skip=
while [ $# -gt 1 ]; do
  case "$1" in
    --sizes) sizes=$2 ;;
    --dir) dir=$2 ;;
    --skip) skip=$2 ;;
    *) break ;;
  esac
  shift 2
done
[ $# -eq 0 ] || { echo "compare.sh: unknown option $1" >&2; exit 2; }
# wanted PART: not named by --skip.
wanted() { [[ ",$skip," != *",$1,"* ]]; }
case "$(realpath -m "$dir")/" in
  "$root"/*) echo "compare.sh: the data folder must lie outside the repository" >&2; exit 2 ;;
esac
rm -rf "$dir"
mkdir -p "$dir/out"
trap 'rm -rf "$dir"' EXIT

# The option sets; each runs in text and in JSON.
option_sets=("" "--cps 12 --fps 23.976" "--cps 0" "--cps 1000")

runs=0 same=0 bad=0
# run_in NAME WORKDIR COMMAND...: standard input empty, the outputs in out/NAME.1 and
# out/NAME.2; prints the exit status.
run_in() {
  local name=$1 work=$2
  shift 2
  (cd "$work" && "$@" </dev/null >"$dir/out/$name.1" 2>"$dir/out/$name.2") && echo 0 || echo $?
}

# compare_run WORKDIR ARGS...: both binaries in WORKDIR; 0 when alike.
compare_run() {
  local work=$1 so sn
  shift
  so=$(run_in old "$work" "$old" "$@")
  sn=$(run_in new "$work" "$new" "$@")
  runs=$((runs + 1))
  if [ "$so" = "$sn" ] && cmp -s "$dir/out/old.1" "$dir/out/new.1" &&
    cmp -s "$dir/out/old.2" "$dir/out/new.2"; then
    same=$((same + 1))
    return 0
  fi
  bad=$((bad + 1))
  echo "  DIFFERENT in $work: $* (exit $so/$sn)"
  return 1
}

# compare_paths LABEL WORKDIR PATH...: every option set, text and JSON; one line.
compare_paths() {
  local label=$1 work=$2 o n=0 diff=0
  shift 2
  for o in "${option_sets[@]}"; do
    local opts=()
    [ -n "$o" ] && read -ra opts <<<"$o"
    compare_run "$work" "${opts[@]}" "$@" || diff=$((diff + 1))
    compare_run "$work" "${opts[@]}" --format json "$@" || diff=$((diff + 1))
    n=$((n + 2))
  done
  printf '%-60s %2d runs  %s\n' "$label" "$n" "$([ "$diff" = 0 ] && echo same || echo "$diff DIFFERENT")"
}

if wanted corpus; then
  while IFS= read -r -d '' f; do
    compare_paths "corpus/${f#"$corpus_dir"/}" "$dir" "$f"
  done < <(find "$corpus_dir" -type f -print0 | LC_ALL=C sort -z)
  compare_paths "corpus (the folder walked)" "$dir" "$corpus_dir"
fi

if wanted seeds; then
  for f in "$root"/fuzz/cuelint/corpus/*; do
    compare_paths "seed/$(basename "$f")" "$dir" "$f"
  done
fi

if wanted e2e; then
  python3 "$here/e2e_inputs.py" "$dir/e2e" >/dev/null
  for case_dir in "$dir"/e2e/*/; do
    name=$(basename "$case_dir")
    n=0 diff=0
    for argfile in "$dir/e2e/$name".args.*; do
      args=()
      mapfile -d '' -t args <"$argfile"
      compare_run "$case_dir" "${args[@]}" || diff=$((diff + 1))
      n=$((n + 1))
    done
    printf '%-60s %2d runs  %s\n' "e2e/$name (its arguments)" "$n" \
      "$([ "$diff" = 0 ] && echo same || echo "$diff DIFFERENT")"
    if [ -n "$(ls -A "$case_dir")" ]; then
      compare_paths "e2e/$name (its folder walked)" "$case_dir" .
    fi
  done
  rm -rf "$dir/e2e"
fi

if wanted generated; then
  IFS=, read -ra szs <<<"$sizes"
  for s in "${szs[@]}"; do
    for f in srt sub sbv; do
      file="$dir/gen-$s.$f"
      python3 "$here/gen.py" big --format "$f" --size "$s" --out "$file" >/dev/null
      compare_paths "$(basename "$file") ($(stat -c %s "$file") B)" "$dir" "$file"
      rm -f "$file"
    done
  done
  python3 "$here/gen.py" batch --dir "$dir/batch" --count 90 --size 20K >/dev/null
  compare_paths "batch of 90 files of ~20K (the folder walked)" "$dir" "$dir/batch"
  rm -rf "$dir/batch"
fi

echo "$runs runs: $same same, $bad different"
[ "$bad" = 0 ]
