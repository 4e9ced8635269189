#!/usr/bin/env bash
# Starts the real program under the test display with a WAV file and finds its window.
set -euo pipefail
sonvira=$1
[ -n "${DISPLAY:-}" ] || { echo "no X display (test.sh starts Xvfb)"; exit 1; }
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true; rm -rf "$work"' EXIT
timeout 20 sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth 1 sine 440 2>/dev/null
"$sonvira" "$work/tone.wav" >"$work/out.log" 2>&1 &
pid=$!
window=
for _ in $(seq 100); do
  window=$(timeout 2 xdotool search --name '^Orlanda Sonvira 1\.0$' 2>/dev/null | head -1) && [ -n "$window" ] && break
  kill -0 $pid 2>/dev/null || { echo "program ended early:"; cat "$work/out.log"; exit 1; }
  sleep 0.1
done
[ -n "$window" ] || { echo "window not found"; exit 1; }
# Still running with the sound loaded and no error box on top.
sleep 0.5
kill -0 $pid
boxes=$(timeout 2 xdotool search --onlyvisible --name '^Sonvira$' 2>/dev/null || true)
[ -z "$boxes" ] || { echo "an error box appeared"; exit 1; }
echo "window $window"
