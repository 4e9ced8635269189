#!/usr/bin/env bash
# F11 plays the opened sound through the real sound output: a 440 Hz tone is recorded
# from the sound server, held at the file's level.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_sound_file "$E2E_WORK/tone.wav" tone 3
e2e_start_sonvira "$1" "$E2E_WORK/tone.wav"
e2e_record_start "$E2E_WORK/rec.raw"
e2e_key F11
sleep 3.5
e2e_record_stop
kill -0 "$SONVIRA_PID" || e2e_fail "program ended while playing"
e2e_analyse tone "$E2E_WORK/rec.raw" 440 -9.03 || e2e_fail "recording is not the tone"
