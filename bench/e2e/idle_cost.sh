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
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
program=${1:-}
if [ -z "$program" ]; then
  cmake -S "$root" -B "$root/build-bench-rel" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DSONVIRA_TESTS=OFF >/dev/null
  cmake --build "$root/build-bench-rel" -j2 --target sonvira >/dev/null
  program=$root/build-bench-rel/src/app/sonvira
fi
seconds=${SONVIRA_IDLE_SECONDS:-20}
trials=${SONVIRA_BENCH_TRIALS:-3}

source scripts/services.sh
start_services
trap 'stop_services' EXIT
source tests/e2e/e2e_lib.sh
e2e_setup
# e2e_lib.sh's cleanup runs first, then the services go.
trap 'e2e_cleanup; stop_services' EXIT

ticks=$(getconf CLK_TCK)
# cpu_ticks <pid>: user + system time of all the process's threads, in clock ticks.
cpu_ticks() {
  # The command name (field 2) may hold spaces; count fields after its closing bracket.
  sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'
}
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
    t0=$(date +%s.%N); c0=$(cpu_ticks "$SONVIRA_PID")
    sleep "$seconds"
    t1=$(date +%s.%N); c1=$(cpu_ticks "$SONVIRA_PID")
    idle_cpu=$(awk -v c="$((c1 - c0))" -v hz="$ticks" -v t0="$t0" -v t1="$t1" \
      'BEGIN { printf "%.2f", 100 * c / hz / (t1 - t0) }')
  fi
  delays+=("$(timeout 60 python3 bench/e2e/play_start_delay.py "$E2E_SINK.monitor")")
  [ "$trial" = 1 ] && playing_inputs=$(sink_inputs "$SONVIRA_PID")
  stop_sonvira
done

echo
printf 'CPU while idle:             %s %% of one core over %s s (target <= 0.1 %%; one tick is %s %%)\n' \
  "$idle_cpu" "$seconds" "$(awk -v hz="$ticks" -v s="$seconds" 'BEGIN { printf "%.2f", 100 / hz / s }')"
printf 'Program streams on the sound server: %s while idle (target 0), %s while playing\n' \
  "$idle_inputs" "$playing_inputs"
printf 'F11 to first sound heard:   %s ms (one per fresh start; see play_start_delay.py)\n' \
  "${delays[*]}"
