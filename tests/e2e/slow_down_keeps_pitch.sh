#!/usr/bin/env bash
# Ctrl+Shift+F11 pressed five times slows playback from 1 to 0.5 with the pitch field
# coupled to the speed field: the tone's 4 Hz tremolo slows to 2 Hz while its 440 Hz
# carrier stays where it was.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_sound_file "$E2E_WORK/tremolo.wav" tremolo 4
e2e_start_sonvira "$1" "$E2E_WORK/tremolo.wav"
e2e_record_start "$E2E_WORK/before.raw"
e2e_key F11
sleep 3
e2e_record_stop
e2e_half_speed
sleep 1
e2e_record_start "$E2E_WORK/after.raw"
sleep 3.5
e2e_record_stop
kill -0 "$SONVIRA_PID" || e2e_fail "program ended while playing"
status=0
echo "At speed 1:"
e2e_analyse tremolo "$E2E_WORK/before.raw" 440 4 || status=1
echo "At speed 0.5:"
e2e_analyse tremolo "$E2E_WORK/after.raw" 440 2 || status=1
[ $status -eq 0 ] || e2e_fail "tempo or pitch not as expected"
