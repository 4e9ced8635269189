# Debian packages the program and its tests need, and a helper that installs the missing ones.
# Sourced by run.sh and test.sh.

SONVIRA_BUILD_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  portaudio19-dev libasound2-dev libjack-jackd2-dev libasound2-plugins
  libmpg123-dev libmp3lame-dev libx11-dev libxcb1-dev librubberband-dev
  libavformat-dev libavcodec-dev libswresample-dev
)
SONVIRA_TEST_PACKAGES=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool
  pulseaudio pulseaudio-utils alsa-utils
  sox libsox-fmt-mp3 mpg123 lame shapelib
  dbus dbus-x11 at-spi2-core python3 python3-pyatspi
  clang libclang-rt-14-dev rubberband-cli ffmpeg libopencore-amrnb0
  desktop-file-utils appstream strace lintian
)

ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
