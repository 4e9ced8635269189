# A private PulseAudio server (null sink as default sink, its monitor as default source)
# and an Xvfb display for the tests. Sourced by test.sh; stop_services undoes start_services.

start_services() {
  SONVIRA_SERVICE_DIR=$(mktemp -d /tmp/sonvira-test.XXXXXX)
  export PULSE_RUNTIME_PATH=$SONVIRA_SERVICE_DIR/pulse
  export XDG_RUNTIME_DIR=$SONVIRA_SERVICE_DIR/xdg
  mkdir -p "$PULSE_RUNTIME_PATH" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset PULSE_SERVER
  timeout 20 pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=yes --log-target=file:"$SONVIRA_SERVICE_DIR/pulse.log" \
    -L "module-null-sink sink_name=sonvira_sink rate=44100" \
    -L "module-native-protocol-unix" -L "module-always-sink" 2>/dev/null
  for _ in $(seq 50); do timeout 2 pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  timeout 5 pactl set-default-sink sonvira_sink
  timeout 5 pactl set-default-source sonvira_sink.monitor

  local display
  for display in $(seq 90 120); do
    [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ] || break
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >"$SONVIRA_SERVICE_DIR/xvfb.log" 2>&1 &
  SONVIRA_XVFB_PID=$!
  export DISPLAY=":$display"
  # An X11 session on the test display, even when started from a Wayland desktop: the
  # program would otherwise ask that desktop's portal for its keys, not grab them here.
  unset WAYLAND_DISPLAY
  export XDG_SESSION_TYPE=x11
  for _ in $(seq 100); do timeout 2 xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  timeout 2 xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; return 1; }
}

stop_services() {
  timeout 5 pulseaudio --kill 2>/dev/null || true
  [ -n "${SONVIRA_XVFB_PID:-}" ] && kill "$SONVIRA_XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "${SONVIRA_SERVICE_DIR:-/nonexistent}"
}
