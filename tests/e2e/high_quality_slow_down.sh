#!/usr/bin/env bash
# "Hohe Klangqualität" ticked in the window, then F11 and Ctrl+Shift+F11 five times with
# the fields coupled (speed and pitch 0.5): the 440 Hz tone is heard at 440 Hz and clean.
# The program runs from a folder of its own, since the choice is kept in settings.conf.
#   high_quality_slow_down.sh <sonvira> [<min purity dB>]
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_atspi_setup
mkdir -p "$E2E_WORK/program"
cp "$1" "$E2E_WORK/program/sonvira"
e2e_sound_file "$E2E_WORK/tone.wav" tone 4
e2e_start_sonvira "$E2E_WORK/program/sonvira" "$E2E_WORK/tone.wav"
e2e_press "Hohe Klangqualität"
for _ in $(seq 50); do grep -q "high_quality=true" "$E2E_WORK/program/settings.conf" 2>/dev/null && break; sleep 0.1; done
grep -q "high_quality=true" "$E2E_WORK/program/settings.conf" || e2e_fail "the choice was not kept"
e2e_key F11
sleep 1
e2e_half_speed
sleep 1.5
e2e_record_start "$E2E_WORK/slow.raw"
sleep 2.5
e2e_record_stop
kill -0 "$SONVIRA_PID" || e2e_fail "program ended while playing"
# Rubber Band's own tool reaches 63.4 dB on this tone; the engine now does too after the
# speed keys (63.5 dB measured in the sanitizer build), less a margin for a loaded machine.
e2e_analyse purity "$E2E_WORK/slow.raw" 440 "${2:-60}" || e2e_fail "the slowed tone is not clean at 440 Hz"
