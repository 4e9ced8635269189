#!/usr/bin/env bash
# A long MP3 being opened, F11 and then STOP pressed during the import: F11 does nothing,
# STOP cancels the import with a message, the old sound stays and still plays, the MP3 is
# untouched and no temporary file is left behind: the copy's private folder goes with it.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_atspi_setup
export TMPDIR=$E2E_WORK/tmp
mkdir -p "$TMPDIR"
e2e_sound_file "$E2E_WORK/tone.wav" tone 3
# Three hours of MP3 made cheaply: ten seconds encoded once, the frames repeated. Decoding
# it takes many seconds, long enough to press keys during the import.
sox -n -r 44100 -c 2 "$E2E_WORK/piece.wav" synth 10 sine 660 vol 0.3 || e2e_fail "sox failed"
lame --quiet -b 32 "$E2E_WORK/piece.wav" "$E2E_WORK/piece.mp3" || e2e_fail "lame failed"
for _ in $(seq 1080); do cat "$E2E_WORK/piece.mp3"; done >"$E2E_WORK/long.mp3"
before=$(sha256sum <"$E2E_WORK/long.mp3")

e2e_start_sonvira "$1" "$E2E_WORK/tone.wav"
# The copy's own folder for decoded sounds, for this user alone.
own=$(find "$TMPDIR" ${XDG_RUNTIME_DIR:+"$XDG_RUNTIME_DIR"} -maxdepth 1 -type d -name "sonvira-$SONVIRA_PID-*")
[ -n "$own" ] || e2e_fail "no temporary folder of this copy"
[ "$(stat -c %a "$own")" = 700 ] || e2e_fail "the temporary folder is not private: $(stat -c %a "$own")"
e2e_press --click "Datei"
sleep 0.5
e2e_press --click "Öffnen..."
sleep 1
timeout 10 xdotool type --delay 10 "$E2E_WORK/long.mp3" || e2e_fail "could not type the name"
e2e_key Return
sleep 0.5
e2e_record_start "$E2E_WORK/during.raw"
e2e_key F11  # refused while the import runs: nothing plays
sleep 1
e2e_record_stop
e2e_press "STOP"
e2e_look shown "Das Öffnen wurde abgebrochen. Der bisherige Klang bleibt erhalten."
e2e_key Return  # the message box
sleep 0.5
kill -0 "$SONVIRA_PID" || e2e_fail "program ended"
e2e_analyse silence "$E2E_WORK/during.raw" || e2e_fail "F11 played something during the import"

# The old sound is still the sound.
e2e_record_start "$E2E_WORK/after.raw"
e2e_key F11
sleep 3.5
e2e_record_stop
e2e_analyse tone "$E2E_WORK/after.raw" 440 -9.03 || e2e_fail "the old sound does not play"
[ "$(sha256sum <"$E2E_WORK/long.mp3")" = "$before" ] || e2e_fail "the MP3 was changed"
e2e_close_program
leftover=$(find "$TMPDIR" -type f)
[ -z "$leftover" ] || e2e_fail "temporary files left: $leftover"
[ ! -e "$own" ] || e2e_fail "the temporary folder was left: $own"
