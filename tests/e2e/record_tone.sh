#!/usr/bin/env bash
# "Aufnehmen" records what the sound card hears: a 440 Hz tone plays into the test's sink,
# whose monitor is the program's input; "STOP" ends the recording. The recording is then
# saved as WAV through the Save command and read back by sox: whole 16384-byte blocks,
# about as long as the recording ran, and the tone at 440 Hz.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_atspi_setup
export PULSE_SOURCE=$E2E_SINK.monitor
e2e_sound_file "$E2E_WORK/tone.wav" tone 10
e2e_start_sonvira "$1"
paplay --device="$E2E_SINK" "$E2E_WORK/tone.wav" &
E2E_PIDS+=($!)
sleep 0.5
e2e_press "Aufnehmen"
# The sound server's monitor source delivers its first sound 1 to 2 s after an input
# opens; record long enough that at least 2.5 s of the tone arrive.
sleep 5
e2e_press "STOP"
sleep 0.5
kill -0 "$SONVIRA_PID" || e2e_fail "program ended while recording"

# Save as WAV: the file dialog takes the name, the second file type is WAV (the dialog
# may give the name that type's extension).
e2e_save_wav "$E2E_WORK/take"
saved=$E2E_SAVED

info=$(soxi "$saved") || e2e_fail "sox cannot read the saved file"
grep -q "Sample Rate *: 44100" <<<"$info" || e2e_fail "not 44100 Hz: $info"
grep -q "Channels *: 2" <<<"$info" || e2e_fail "not stereo: $info"
bytes=$(( $(soxi -s "$saved") * 4 ))
(( bytes % 16384 == 0 )) || e2e_fail "$bytes bytes are no whole number of capture blocks"
seconds=$(awk "BEGIN { print $bytes / 176400 }")
awk "BEGIN { exit !($seconds > 2.5 && $seconds < 5.5) }" || e2e_fail "recorded $seconds s, expected 3 to 5"
sox "$saved" -t raw -e signed -b 16 -c 1 -r 44100 "$E2E_WORK/take.raw" remix 1 ||
  e2e_fail "sox could not convert the saved file"
e2e_analyse tone "$E2E_WORK/take.raw" 440 -9.03 || e2e_fail "the recording is not the 440 Hz tone"
