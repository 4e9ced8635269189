#!/usr/bin/env bash
# F11 while playing pauses: the output holds one steady level (no tone). F11 again goes
# on from two seconds earlier (the default rewind). The sound is a rising tone, so the
# frequency heard tells the position in the file.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_sound_file "$E2E_WORK/ramp.wav" ramp 10
e2e_start_sonvira "$1" "$E2E_WORK/ramp.wav"
e2e_record_start "$E2E_WORK/rec.raw"
e2e_key F11
sleep 3.5
e2e_key F11
sleep 1.5
e2e_key F11
sleep 1.5
e2e_record_stop
kill -0 "$SONVIRA_PID" || e2e_fail "program ended while playing"
e2e_analyse pause "$E2E_WORK/rec.raw" 50 2 || e2e_fail "pause and resume not as expected"
