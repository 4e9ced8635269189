#!/usr/bin/env bash
# What playback costs with the real program (Release build) under Xvfb and a private
# PulseAudio server, and how soon a speed hot key is heard. Prints its figures.
#
#   bench/e2e/playback_cost.sh [path/to/sonvira]
#
# Without an argument it builds build-bench-rel (Release, no tests) first.
# Figures: CPU use of the process (all threads, from /proc/<pid>/stat) over several
# seconds while playing and while paused (target at most 5 % of one core each); the
# delay from the tempo hot key to the change in the recorded sound (target at most
# 200 ms, see hotkey_delay.py), and the device latencies that delay contains.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/e2e/bench_lib.sh
bench_setup "${1:-}"
seconds=${SONVIRA_BENCH_SECONDS:-8}

# busiest_threads <pid> <seconds>: per-thread CPU over that time, highest first.
busiest_threads() {
  local -A before=()
  local task id
  for task in /proc/"$1"/task/*; do id=${task##*/}; before[$id]=$(cpu_ticks "$1/task/$id"); done
  sleep "$2"
  for id in "${!before[@]}"; do
    [ -r "/proc/$1/task/$id/stat" ] || continue
    awk -v c="$(( $(cpu_ticks "$1/task/$id") - ${before[$id]} ))" -v hz="$ticks" -v s="$2" \
      -v name="$(cat "/proc/$1/task/$id/comm")" 'BEGIN { printf "    %5.1f %%  %s\n", 100 * c / hz / s, name }'
  done | sort -rn -k1 | head -4
}

e2e_sound_file "$E2E_WORK/tremolo.wav" tremolo 4
e2e_start_sonvira "$program" "$E2E_WORK/tremolo.wav"
pid=$SONVIRA_PID
echo "program: $program"

idle=$(cpu_percent "$pid" 3)
e2e_key F11
sleep 1
playing=$(cpu_percent "$pid" "$seconds")
echo "playing threads:"
busiest_threads "$pid" 2
# Device latencies while playing, as the sound server sees them.
server_latency=$(timeout 5 pactl list sink-inputs 2>/dev/null | awk -v pid="$pid" '
  /^Sink Input/ { buffer = ""; sink = "" }
  /Buffer Latency/ { buffer = $3 / 1000 }
  /Sink Latency/ { sink = $3 / 1000 }
  /application.process.id/ && $3 == "\"" pid "\"" { printf "buffer %.1f ms, sink %.1f ms", buffer, sink }')
e2e_key F11
sleep 1
paused=$(cpu_percent "$pid" "$seconds")
echo "paused threads:"
busiest_threads "$pid" 2
e2e_key F11
sleep 1

echo
printf 'CPU before playing (window idle): %s %% of one core\n' "$idle"
printf 'CPU while playing:                %s %% of one core over %s s (target <= 5 %%)\n' "$playing" "$seconds"
printf 'CPU while paused:                 %s %% of one core over %s s (target <= 5 %%)\n' "$paused" "$seconds"
echo "Sound server's view of the program's stream: ${server_latency:-(not shown)}"
echo "Device ring ahead of the listener: 16384 bytes = $(awk 'BEGIN { printf "%.1f", 16384 / 4 / 44100 * 1000 }') ms at most (a half, 46.4 ms, is refilled at a time)"
echo
timeout 300 python3 bench/e2e/hotkey_delay.py "$E2E_SINK.monitor" "${SONVIRA_BENCH_TRIALS:-6}"
