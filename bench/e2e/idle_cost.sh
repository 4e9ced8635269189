#!/usr/bin/env bash
# What the real program costs while it plays nothing, and how soon the play key is
# heard from there, under Xvfb and a private PulseAudio server. Prints its figures.
#
#   bench/e2e/idle_cost.sh [path/to/sonvira]
#
# Without an argument it builds build-bench-rel (Release, no tests) first.
# Figures: CPU use of the idle process (all threads, from /proc/<pid>/stat) over
# SONVIRA_IDLE_SECONDS (20) seconds, target at most 0.1 % of one core; the program's
# streams on the sound server while idle (target 0) and while playing (1); and, over
# SONVIRA_BENCH_TRIALS (3) fresh starts, the delay from F11 to the first sound heard.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/e2e/bench_lib.sh
bench_setup "${1:-}"
seconds=${SONVIRA_IDLE_SECONDS:-20}
trials=${SONVIRA_BENCH_TRIALS:-3}

# sink_inputs <pid>: the process's streams on the sound server (libpulse stamps each
# with its process id; the test sink's own silent keep-alive stream is not counted).
sink_inputs() {
  timeout 5 pactl list sink-inputs | grep -c "application.process.id = \"$1\"" || true
}
# stop_sonvira: ends the program started by e2e_start_sonvira.
stop_sonvira() {
  kill "$SONVIRA_PID" 2>/dev/null || true
  wait "$SONVIRA_PID" 2>/dev/null || true
  SONVIRA_PID=
}

e2e_sound_file "$E2E_WORK/tone.wav" tone 5
echo "program: $program"
delays=()
for trial in $(seq "$trials"); do
  e2e_start_sonvira "$program" "$E2E_WORK/tone.wav"
  sleep 1  # start-up work done
  if [ "$trial" = 1 ]; then
    idle_inputs=$(sink_inputs "$SONVIRA_PID")
    idle_cpu=$(cpu_percent "$SONVIRA_PID" "$seconds" 2)
  fi
  delays+=("$(timeout 60 python3 bench/e2e/play_start_delay.py "$E2E_SINK.monitor")")
  [ "$trial" = 1 ] && playing_inputs=$(sink_inputs "$SONVIRA_PID")
  stop_sonvira
done

echo
printf 'CPU while idle:             %s %% of one core over %s s (target <= 0.1 %%; one tick is %s %%)\n' \
  "$idle_cpu" "$seconds" "$(tick_percent "$seconds")"
printf 'Program streams on the sound server: %s while idle (target 0), %s while playing\n' \
  "$idle_inputs" "$playing_inputs"
printf 'F11 to first sound heard:   %s ms (one per fresh start; see play_start_delay.py)\n' \
  "${delays[*]}"
