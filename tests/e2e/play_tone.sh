#!/usr/bin/env bash
# F11 plays the opened sound through the real sound output: a 440 Hz tone is recorded
# from the sound server, held at the file's level. The mixer lists the stream under the
# program's name, icon and the music role, and the start printed none of the sound
# libraries' device probing.
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_sound_file "$E2E_WORK/tone.wav" tone 3
e2e_start_sonvira "$1" "$E2E_WORK/tone.wav"
e2e_record_start "$E2E_WORK/rec.raw"
e2e_key F11
sleep 1
stream=$(timeout 5 pactl list sink-inputs)
for property in 'application.name = "Sonvira"' 'application.icon_name = "de.orlanda.sonvira"' \
                'media.role = "music"'; do
  grep -qF "$property" <<<"$stream" || e2e_fail "the playing stream lacks $property: $stream"
done
sleep 2.5
e2e_record_stop
kill -0 "$SONVIRA_PID" || e2e_fail "program ended while playing"
e2e_analyse tone "$E2E_WORK/rec.raw" 440 -9.03 || e2e_fail "recording is not the tone"
# Devices missing on this machine; a real error (an underrun, say) may still be printed.
probe_lines=$(grep -E 'Unknown PCM|cannot find card|snd_config|snd_func|Cannot open device|jack server|Cannot connect to server|JackShm' \
  "$E2E_WORK/sonvira.log" || true)
[ -z "$probe_lines" ] || e2e_fail "the start printed the sound libraries' probing: $probe_lines"
