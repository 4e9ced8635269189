#!/usr/bin/env bash
# Starts the real program with a WAV file named on the command line: its window appears,
# no error box comes up (the file was read and the sound output opened), it keeps running.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_sound_file "$E2E_WORK/tone.wav" tone 1
e2e_start_sonvira "$1" "$E2E_WORK/tone.wav"
sleep 0.5
kill -0 "$SONVIRA_PID" 2>/dev/null || e2e_fail "program ended after showing its window"
boxes=$(timeout 2 xdotool search --onlyvisible --name '^Sonvira$' 2>/dev/null || true)
[ -z "$boxes" ] || e2e_fail "an error box appeared"
echo "window $SONVIRA_WINDOW"
