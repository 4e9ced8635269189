#!/usr/bin/env bash
# Closing the window while the sound plays ends the program cleanly: it stops the
# output and exits with status 0 within a few seconds.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_sound_file "$E2E_WORK/tone.wav" tone 3
e2e_start_sonvira "$1" "$E2E_WORK/tone.wav"
e2e_record_start "$E2E_WORK/rec.raw"
e2e_key F11
sleep 1.5
e2e_record_stop
e2e_analyse level "$E2E_WORK/rec.raw" -20 || e2e_fail "not playing before the window was closed"

timeout 5 python3 "$E2E_DIR/close_window.py" "$SONVIRA_WINDOW" || e2e_fail "could not send the close request"
for _ in $(seq 100); do
  kill -0 "$SONVIRA_PID" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$SONVIRA_PID" 2>/dev/null; then
  remaining=$(timeout 2 xdotool search --onlyvisible --name '.' getwindowname %@ 2>/dev/null | tr '\n' ';' || true)
  e2e_fail "program still running 10 s after its window was asked to close (visible windows: $remaining)"
fi
status=0
wait "$SONVIRA_PID" || status=$?
SONVIRA_PID=
[ $status -eq 0 ] || e2e_fail "program ended with status $status after its window was closed"
echo "program ended with status 0"
