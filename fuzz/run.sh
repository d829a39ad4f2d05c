#!/bin/sh
# Builds one libFuzzer target and runs it for a given number of seconds.
#
#   fuzz/run.sh TARGET [SECONDS] [LIBFUZZER_FLAG ...]      (default 60 seconds)
#
# TARGET is a folder of fuzz/ (cuecheck, cuelint, cuelint/cli, cuelint/walk): its fuzz_*.cpp
# is the target and its corpus/ the seeds. The seeds are copied to a scratch corpus, and the new inputs the
# fuzzer finds go there, never into the repository. A crash, leak, hang or sanitizer report
# leaves its input in the artifact folder; the script then exits non-zero.
#
# Environment (all optional):
#   BUILD_DIR   build folder                (default: <repo>/build-fuzz)
#   CORPUS_DIR  scratch corpus              (default: /tmp/cuecheck-fuzz-TARGET-corpus)
#   ARTIFACTS   folder for crashing inputs  (default: /tmp/cuecheck-fuzz-TARGET-artifacts)
#   CMAKE_ARGS  extra configure options, e.g. -DCUECHECK_SOFT_EXT=ON (use another BUILD_DIR)
#   CXX         the C++ compiler            (default: clang++)
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(dirname "$here")
if [ $# -lt 1 ] || [ ! -d "$here/$1/corpus" ]; then
  echo "usage: fuzz/run.sh TARGET [SECONDS] [LIBFUZZER_FLAG ...]; TARGET: $(cd "$here" &&
    for d in */corpus */*/corpus; do printf '%s ' "${d%/corpus}"; done)" >&2
  exit 2
fi
target=$1
shift
seconds=${1:-60}
[ $# -gt 0 ] && shift
flat=$(printf '%s' "$target" | tr / _)
extra=""
case $target in
  cuecheck) binary=fuzz_check ;;
  # The batch names unreadable paths on standard error: thrown away, the fuzzer's and the
  # sanitizers' reports still kept.
  cuelint/walk) binary=fuzz_$flat extra=-close_fd_mask=2 ;;
  *) binary=fuzz_$flat ;;
esac

build=${BUILD_DIR:-$repo/build-fuzz}
corpus=${CORPUS_DIR:-/tmp/cuecheck-fuzz-$flat-corpus}
artifacts=${ARTIFACTS:-/tmp/cuecheck-fuzz-$flat-artifacts}

# Configure once; later runs only rebuild what changed.
if [ ! -f "$build/CMakeCache.txt" ]; then
  # shellcheck disable=SC2086 # CMAKE_ARGS is a list of options
  CXX=${CXX:-clang++} cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCUECHECK_FUZZ=ON -DCUECHECK_TESTS=OFF ${CMAKE_ARGS:-}
fi
cmake --build "$build" --target "$binary" -j 2

mkdir -p "$corpus" "$artifacts"
cp "$here/$target"/corpus/* "$corpus"/

log="$artifacts/fuzz-$(date +%Y%m%d-%H%M%S).log"
echo "fuzzing $binary for $seconds s; corpus $corpus, artifacts $artifacts, log $log"

# One process (the machine is shared). -timeout turns a check that runs 10 s into a
# finding (a hang); 4 KiB inputs hold a few dozen subtitles, lines of all lengths
# around the 255-character cut among them.
status=0
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  "$build/$binary" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$artifacts/" \
  $extra "$@" "$corpus" >"$log" 2>&1 || status=$?

# The last progress line (executions, cov:, ft:, exec/s) and the final statistics.
grep -E '^#[0-9]+' "$log" | tail -n 1
grep -E '^stat::' "$log" || true
if [ "$status" -ne 0 ]; then
  grep -E 'ERROR|runtime error|SUMMARY|Test unit written' "$log" || true
  echo "fuzzer stopped with status $status; see $log" >&2
fi
exit "$status"
