#!/usr/bin/env bash
# F11 while playing pauses: the output holds one steady level (no tone). F11 again goes
# on from two seconds earlier (the default rewind). The sound is a rising tone, so the
# frequency heard tells the position in the file.
#
#   pause_resume.sh <sonvira> [key]
#
# With the key "space" the same happens through the space bar inside the window (which
# then has the keyboard focus), whatever the desktop does with global hot keys.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
key=${2:-F11}
e2e_setup
e2e_sound_file "$E2E_WORK/ramp.wav" ramp 10
e2e_start_sonvira "$1" "$E2E_WORK/ramp.wav"
[ "$key" = F11 ] || timeout 5 xdotool windowfocus --sync "$SONVIRA_WINDOW" || e2e_fail "could not focus the window"
e2e_record_start "$E2E_WORK/rec.raw"
e2e_key "$key"
sleep 3.5
e2e_key "$key"
sleep 1.5
e2e_key "$key"
sleep 1.5
e2e_record_stop
kill -0 "$SONVIRA_PID" || e2e_fail "program ended while playing"
e2e_analyse pause "$E2E_WORK/rec.raw" 50 2 || e2e_fail "pause and resume not as expected"
