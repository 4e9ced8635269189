#!/usr/bin/env bash
# What "Hohe Klangqualität" costs and gives with the real program (Release build) under
# Xvfb and a private PulseAudio server. Prints its figures.
#
#   bench/e2e/high_quality_cost.sh [path/to/sonvira]
#
# Figures, at half speed with the pitch kept (speed and pitch fields coupled, five times
# Ctrl+Shift+F11), stereo 44.1 kHz:
#  - CPU use of the process (all threads) with the high-quality engine (target at most
#    10 % of one core), and with the standard engine for comparison; also with the
#    high-quality engine on a mono 22050 Hz sound (a voice memo; one channel to stretch,
#    raised to 44100 Hz first);
#  - the delay from the tempo hot key to the change being heard (target at most 200 ms,
#    see hotkey_delay.py);
#  - the purity of the recorded 440 Hz tone (its ±3 % band against all other energy) with
#    each engine, beside Rubber Band's own command-line tool (R3 engine) stretching the
#    same file offline, and that tool's output played through the same sound server.
set -euo pipefail
cd "$(dirname "$0")/../.."
source bench/e2e/bench_lib.sh
bench_setup "${1:-}"
seconds=${SONVIRA_BENCH_SECONDS:-8}

folder=$E2E_WORK/program
mkdir -p "$folder"
cp "$program" "$folder/sonvira"
e2e_sound_file "$E2E_WORK/tone.wav" tone 4
e2e_sound_file "$E2E_WORK/tremolo.wav" tremolo 4
timeout 60 sox "$E2E_WORK/tone.wav" -c 1 -r 22050 "$E2E_WORK/memo.wav"

# play_half_speed <high quality: true|false> [sound]: starts the program on the tone at half speed.
play_half_speed() {
  printf 'playback.high_quality=%s\n' "$1" >"$folder/settings.conf"
  e2e_start_sonvira "$folder/sonvira" "${2:-$E2E_WORK/tone.wav}"
  e2e_key F11
  sleep 0.5
  e2e_half_speed
  sleep 1.5
}

stop_program() {
  kill "$SONVIRA_PID" 2>/dev/null || true
  wait "$SONVIRA_PID" 2>/dev/null || true
  SONVIRA_PID=
}

declare -A cpu purity
for engine in true false; do
  play_half_speed "$engine"
  cpu[$engine]=$(cpu_percent "$SONVIRA_PID" "$seconds")
  e2e_record_start "$E2E_WORK/$engine.raw"
  sleep 3
  e2e_record_stop
  stop_program
  purity[$engine]=$( (e2e_analyse purity "$E2E_WORK/$engine.raw" 440 0 || true) | sed -n 's/.*purity \([-0-9.]*\) dB.*/\1/p')
done

play_half_speed true "$E2E_WORK/memo.wav"
memo_cpu=$(cpu_percent "$SONVIRA_PID" "$seconds")
stop_program

reference="(rubberband not installed)"
if command -v rubberband >/dev/null; then
  timeout 120 rubberband -3 -q -t 2 "$E2E_WORK/tone.wav" "$E2E_WORK/cli.wav" >/dev/null 2>&1
  timeout 60 sox "$E2E_WORK/cli.wav" -c 1 -b 16 -e signed -t raw "$E2E_WORK/cli.raw"
  reference="$( (e2e_analyse purity "$E2E_WORK/cli.raw" 440 0 || true) | sed -n 's/.*purity \([-0-9.]*\) dB.*/\1/p') dB"
  # The same output played through the sound server and recorded as the program's is: what
  # the server path itself costs the purity.
  paplay --device="$E2E_SINK" "$E2E_WORK/cli.wav" &
  player=$!
  sleep 1
  e2e_record_start "$E2E_WORK/cli_played.raw"
  sleep 3
  e2e_record_stop
  kill "$player" 2>/dev/null || true
  wait "$player" 2>/dev/null || true
  served="$( (e2e_analyse purity "$E2E_WORK/cli_played.raw" 440 0 || true) | sed -n 's/.*purity \([-0-9.]*\) dB.*/\1/p') dB"
  # What the stretcher itself costs for the same job: Rubber Band's tool in real-time mode
  # (R3, no resampler at a pitch scale of 1) on 30 s of the tone, as CPU time per second heard.
  timeout 60 sox "$E2E_WORK/tone.wav" "$E2E_WORK/tone30.wav" repeat 7
  floor=$(TIMEFORMAT='%U %S'
           { time timeout 300 rubberband -3 -R -q -t 2 "$E2E_WORK/tone30.wav" "$E2E_WORK/cli30.wav" \
               >/dev/null 2>&1; } 2>&1)
  floor=$(awk -v t="$floor" -v heard="$(soxi -D "$E2E_WORK/cli30.wav")" \
            'BEGIN { split(t, a, " "); printf "%.1f %%", 100 * (a[1] + a[2]) / heard }')
fi

echo
printf 'CPU at half speed, high quality:  %s %% of one core over %s s (target <= 10 %%)\n' "${cpu[true]}" "$seconds"
printf 'CPU at half speed, standard:      %s %% of one core over %s s\n' "${cpu[false]}" "$seconds"
printf 'CPU at half speed, high quality, mono 22050 Hz: %s %% of one core over %s s\n' "$memo_cpu" "$seconds"
printf 'Purity of the 440 Hz tone heard, high quality: %s dB\n' "${purity[true]}"
printf 'Purity of the 440 Hz tone heard, standard:     %s dB\n' "${purity[false]}"
printf 'Purity from rubberband -3 -t 2 on the same file: %s\n' "$reference"
printf 'Purity of that output played through the sound server: %s\n' "${served:-(rubberband not installed)}"
printf "CPU of rubberband -3 -R -t 2 itself (the stretcher's own cost): %s of one core\n" "${floor:-?}"
echo

# Key -> change with the high-quality engine: the tremolo file, playing at speed 1.
printf 'playback.high_quality=true\n' >"$folder/settings.conf"
e2e_start_sonvira "$folder/sonvira" "$E2E_WORK/tremolo.wav"
e2e_key F11
sleep 1
timeout 300 python3 bench/e2e/hotkey_delay.py "$E2E_SINK.monitor" "${SONVIRA_BENCH_TRIALS:-6}"
