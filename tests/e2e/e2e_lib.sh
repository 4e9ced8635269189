# Shared steps of the end-to-end playback tests; sourced by the test scripts.
#
# Every test gets its own Xvfb display (so its global key grabs meet no other program's)
# and its own null sink on the sound server test.sh started (so no other test's sound is
# mixed into its recording, and its sound into no other test's). e2e_cleanup, run from
# the EXIT trap, ends everything started here.
#
# Needs: PULSE_RUNTIME_PATH of a running PulseAudio (test.sh), Xvfb, xdotool, pactl,
# pacat/parecord, python3.

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_WORK=
E2E_PIDS=()
E2E_MODULE=
SONVIRA_PID=

e2e_fail() {
  echo "FAIL: $*"
  if [ -n "$E2E_WORK" ] && [ -s "$E2E_WORK/sonvira.log" ]; then
    echo "--- program output (last lines, PortAudio's JACK probe noise left out) ---"
    grep -v -i jack "$E2E_WORK/sonvira.log" | tail -20
  fi
  exit 1
}

e2e_cleanup() {
  local pid
  if [ -n "$SONVIRA_PID" ]; then
    kill "$SONVIRA_PID" 2>/dev/null || true
    wait "$SONVIRA_PID" 2>/dev/null || true
  fi
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -n "$E2E_MODULE" ] && timeout 5 pactl unload-module "$E2E_MODULE" 2>/dev/null || true
  [ -n "$E2E_WORK" ] && rm -rf "$E2E_WORK"
}

# e2e_setup: work folder, display, sink. Sets E2E_WORK, DISPLAY, E2E_SINK, PULSE_SINK.
e2e_setup() {
  trap e2e_cleanup EXIT
  E2E_WORK=$(mktemp -d /tmp/sonvira-e2e.XXXXXX)
  [ -n "${PULSE_RUNTIME_PATH:-}" ] || e2e_fail "no sound server (test.sh starts one)"
  timeout 5 pactl info >/dev/null 2>&1 || e2e_fail "sound server does not answer"

  # A display number of its own, drawn at random: Xvfb's own choice (the lowest free one)
  # hands a test the number another test's server is just giving up, whose socket file
  # that server may still remove on its way out. Ready once it answers.
  local number attempt xvfb
  for attempt in $(seq 20); do
    number=$((200 + RANDOM % 700))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
      timeout 2 xdpyinfo -display ":$number" >/dev/null 2>&1 && break
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
    if timeout 2 xdpyinfo -display ":$number" >/dev/null 2>&1; then
      E2E_PIDS+=("$xvfb")
      break
    fi
    kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true
    number=
  done
  [ -n "$number" ] || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
  export DISPLAY=":$number"

  # PortAudio opens every ALSA device it finds while starting; the a52 encoder plugin
  # (libasound2-plugins) pulls in libavcodec and pixman, whose one-time allocations
  # LeakSanitizer reports from an unloaded module (no name, so no suppression matches)
  # once ALSA has closed the plugin again. A private ALSA user configuration makes that
  # device a null one.
  mkdir -p "$E2E_WORK/home"
  printf 'pcm.!a52 {\n  type null\n}\n' >"$E2E_WORK/home/.asoundrc"
  export HOME=$E2E_WORK/home

  E2E_SINK=sonvira_e2e_$$
  E2E_MODULE=$(timeout 5 pactl load-module module-null-sink sink_name="$E2E_SINK" rate=44100) ||
    e2e_fail "could not add a null sink"
  # The program's output reaches the sound server through ALSA's pulse plugin, whose
  # default device follows PULSE_SINK.
  export PULSE_SINK=$E2E_SINK
  # An idle null sink may hold back a new stream's sound for up to two seconds; a
  # silent low-latency stream keeps it running.
  pacat --device="$E2E_SINK" --latency-msec=20 --raw /dev/zero &
  E2E_PIDS+=($!)
}

# e2e_sound_file <path> tone|tremolo|ramp <seconds>: a 44.1 kHz 16-bit stereo WAV (see sound_analysis.py).
e2e_sound_file() {
  timeout 30 python3 "$E2E_DIR/sound_analysis.py" generate "$@" || e2e_fail "could not write $1"
}

# e2e_program_folder <program> <translate.dbf>: a copy of the program with the table in a
# folder of the test's own, where it keeps options.dat and settings.conf; prints the folder.
e2e_program_folder() {
  local folder=$E2E_WORK/program
  mkdir -p "$folder"
  cp "$1" "$folder/sonvira"
  cp "$2" "$folder/translate.dbf"
  echo "$folder"
}

# e2e_start_sonvira <program> [<wav>]: starts the program (with the sound, if one is
# named) and waits for its window.
e2e_start_sonvira() {
  "$1" ${2:+"$2"} >"$E2E_WORK/sonvira.log" 2>&1 &
  SONVIRA_PID=$!
  local window=
  for _ in $(seq 200); do
    window=$(timeout 2 xdotool search --name '^Orlanda Sonvira 1\.0$' 2>/dev/null | head -1) &&
      [ -n "$window" ] && break
    kill -0 "$SONVIRA_PID" 2>/dev/null || e2e_fail "program ended before its window appeared"
    sleep 0.1
  done
  [ -n "$window" ] || e2e_fail "window did not appear"
  SONVIRA_WINDOW=$window
  # The hot keys are grabbed at the end of the window's creation; give it a moment.
  sleep 0.5
}

# e2e_close_program: closes the window as its close box does and waits for the program
# to end (so that what it writes on closing is written).
e2e_close_program() {
  timeout 5 python3 "$E2E_DIR/close_window.py" "$SONVIRA_WINDOW" || e2e_fail "could not close the window"
  for _ in $(seq 100); do kill -0 "$SONVIRA_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$SONVIRA_PID" 2>/dev/null && e2e_fail "the program did not end"
  wait "$SONVIRA_PID" || true
  SONVIRA_PID=
}

# e2e_look shown|absent <text>: what the program shows, read over the accessibility bus
# (see accessible.py).
e2e_look() {
  timeout 40 /usr/bin/python3 "$E2E_DIR/accessible.py" "$@" || e2e_fail "accessible.py $*"
}

# e2e_record_start <raw file>: records the test's sink (mono 16-bit 44.1 kHz raw).
e2e_record_start() {
  parecord --raw --device="$E2E_SINK.monitor" --format=s16le --rate=44100 --channels=1 \
    --latency-msec=20 "$1" &
  E2E_RECORDER=$!
  E2E_PIDS+=($E2E_RECORDER)
  sleep 0.3  # the recording stream is connected
}

e2e_record_stop() {
  kill -INT "$E2E_RECORDER" 2>/dev/null || true
  wait "$E2E_RECORDER" 2>/dev/null || true
}

e2e_key() {
  timeout 5 xdotool key "$@" || e2e_fail "xdotool key $* failed"
}

# e2e_half_speed: Ctrl+Shift+F11 five times, speed 1 to 0.5 (the pitch follows while the
# fields are coupled).
e2e_half_speed() {
  for _ in 1 2 3 4 5; do e2e_key ctrl+shift+F11; sleep 0.1; done
}

e2e_analyse() {
  timeout 60 python3 "$E2E_DIR/sound_analysis.py" "$@"
}

# e2e_atspi_setup: a private session bus with the accessibility bus on it, so that
# press_button.py can press the program's buttons and menu items as a screen reader
# does. Call before e2e_start_sonvira.
e2e_atspi_setup() {
  local bus
  bus=$(timeout 10 dbus-launch --sh-syntax) || e2e_fail "no session bus"
  eval "$bus"
  E2E_PIDS+=("$DBUS_SESSION_BUS_PID")
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_WORK/atspi.log" 2>&1 &
  E2E_PIDS+=($!)
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  sleep 0.5
}

# e2e_press [--click] <caption>: presses the program's enabled button, menu or menu item
# of that caption (--click: with the mouse, for commands that open a modal dialog).
e2e_press() {
  timeout 40 /usr/bin/python3 "$E2E_DIR/press_button.py" "$@" 30 >>"$E2E_WORK/press.log" 2>&1 ||
    e2e_fail "could not press $*: $(tail -3 "$E2E_WORK/press.log")"
}

# e2e_save_wav <path without extension>: saves the sound through "Speichern als WAV/MP3..."
# with the file type WAV (the dialog may give the name that type's extension); the saved
# file's path is left in E2E_SAVED.
e2e_save_wav() {
  e2e_press --click "Datei"
  sleep 0.5
  e2e_press --click "Speichern als WAV/MP3..."
  sleep 1
  timeout 10 xdotool type --delay 10 "$1" || e2e_fail "could not type the name"
  e2e_key Tab   # to the file type
  e2e_key Down  # "WAV-Datei"
  e2e_press "Speichern"
  local saved=
  for _ in $(seq 100); do
    saved=$(ls "$1".wav "$1".WAV 2>/dev/null | head -1) && [ -n "$saved" ] && break
    sleep 0.1
  done
  [ -n "$saved" ] || e2e_fail "no WAV file saved"
  sleep 0.5  # written whole: it is renamed into place only when complete
  E2E_SAVED=$saved
}
