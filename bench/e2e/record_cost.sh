#!/usr/bin/env bash
# What the real program costs while it records, under Xvfb and a private PulseAudio
# server whose test sink plays a tone into the program's input. Prints its figures.
#
#   bench/e2e/record_cost.sh [path/to/sonvira]
#
# Without an argument it builds build-bench-rel (Release, no tests) first.
# Figures: CPU use of the recording process (all threads, from /proc/<pid>/stat) over
# SONVIRA_RECORD_SECONDS (20) seconds, target at most 3 % of one core, and the sound
# recorded in that time.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/e2e/bench_lib.sh
bench_setup "${1:-}"
seconds=${SONVIRA_RECORD_SECONDS:-20}

e2e_atspi_setup
export PULSE_SOURCE=$E2E_SINK.monitor

e2e_sound_file "$E2E_WORK/tone.wav" tone $((seconds + 10))
echo "program: $program"
e2e_start_sonvira "$program"
paplay --device="$E2E_SINK" "$E2E_WORK/tone.wav" &
E2E_PIDS+=($!)
sleep 1
e2e_press "Aufnehmen"
sleep 2  # the input is open and the first sound has arrived
recording_cpu=$(cpu_percent "$SONVIRA_PID" "$seconds" 2)
e2e_press "STOP"

echo
printf 'CPU while recording: %s %% of one core over %s s (target <= 3 %%; one tick is %s %%)\n' \
  "$recording_cpu" "$seconds" "$(tick_percent "$seconds")"
