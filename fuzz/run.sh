#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, build-fuzz) and runs each for <seconds> on a
# temporary copy of its seed corpus, one after the other on one core.
#   fuzz/run.sh <seconds> [target...] [-- libFuzzer options...]
# Targets: wav_reader mp3_import open_path translation_table options_file cd_answers (default: all).
# A long run is the same call with a bigger number (or `-- -runs=2000000`).
# Exits non-zero when a target finds anything; the input is kept in
# build-fuzz/findings/<target>/ and belongs in the seed corpus and a unit test.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:?usage: fuzz/run.sh <seconds> [target...] [-- libFuzzer options...]}
shift
targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do targets+=("$1"); shift; done
[ "${1:-}" = "--" ] && shift
extra=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(wav_reader mp3_import open_path translation_table options_file cd_answers)

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSONVIRA_FUZZ=ON -DSONVIRA_GUI=OFF -DSONVIRA_TESTS=OFF >/dev/null
cmake --build "$build" -j "${SONVIRA_JOBS:-2}" --target sonvira_fuzzers

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The targets rewrite their input file thousands of times a second; on a disk file system
# each truncation forces a write-back (ext4 auto_da_alloc), 30 times slower than memory.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
work=$(mktemp -d "${TMPDIR:-/tmp}/sonvira-fuzz-run-XXXXXX")
trap 'rm -rf "$work"' EXIT

status=0
for target in "${targets[@]}"; do
  corpus="$work/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  cp fuzz/corpus/"$target"/* "$corpus"/
  log="$build/findings/$target.log"
  echo "== fuzz_$target: ${seconds} s"
  # -timeout: an input that takes longer is a hang and counts as a finding.
  if nice -n 10 "$build/fuzz/fuzz_$target" "$corpus" -max_total_time="$seconds" -timeout=10 \
       -print_final_stats=1 -artifact_prefix="$findings/" "${extra[@]}" >"$log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    took=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "   ${execs:-?} executions, ${took:-?} exec/s, no finding"
  else
    status=1
    echo "   FINDING (log: $log, input in $findings/):"
    grep -m5 -E "ERROR|runtime error|Test unit written" "$log" | sed 's/^/   /' || true
  fi
done
exit $status
