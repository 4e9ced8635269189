#!/usr/bin/env bash
# Starts the real program with FLAC, M4A, Opus, 24-bit WAV and mu-law Sun audio files
# named on the command line: each time its window appears without an error box. Then a
# picture under an M4A name: the error box comes up and the program keeps running.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_sound_file "$E2E_WORK/tone.wav" tone 1

no_error_box() {
  local boxes
  boxes=$(timeout 2 xdotool search --onlyvisible --name '^Sonvira$' 2>/dev/null || true)
  [ -z "$boxes" ]
}

stop_program() {
  kill "$SONVIRA_PID" 2>/dev/null || true
  wait "$SONVIRA_PID" 2>/dev/null || true
  SONVIRA_PID=
}

for kind in flac:"-c:a flac" m4a:"-c:a aac" opus:"-c:a libopus" wav:"-c:a pcm_s24le" au:"-c:a pcm_mulaw"; do
  ext=${kind%%:*}
  file="$E2E_WORK/tone-$ext.$ext"
  # shellcheck disable=SC2086 # the codec arguments are meant to split
  timeout 30 ffmpeg -nostdin -v error -y -i "$E2E_WORK/tone.wav" ${kind#*:} "$file" ||
    e2e_fail "ffmpeg could not write $file"
  e2e_start_sonvira "$1" "$file"
  sleep 0.5
  kill -0 "$SONVIRA_PID" 2>/dev/null || e2e_fail "program ended after opening $ext"
  no_error_box || e2e_fail "an error box appeared for $ext"
  echo "$ext opened in window $SONVIRA_WINDOW"
  stop_program
done

timeout 30 ffmpeg -nostdin -v error -y -f lavfi -i color=red:size=16x16 -frames:v 1 "$E2E_WORK/picture.png" ||
  e2e_fail "ffmpeg could not write the picture"
mv "$E2E_WORK/picture.png" "$E2E_WORK/picture.m4a"
e2e_start_sonvira "$1" "$E2E_WORK/picture.m4a"
for _ in $(seq 50); do no_error_box || break; sleep 0.1; done
no_error_box && e2e_fail "no error box for a picture named .m4a"
kill -0 "$SONVIRA_PID" 2>/dev/null || e2e_fail "program ended after refusing the picture"
echo "picture refused, program alive"
