#!/usr/bin/env bash
# The Debian package installed for real with dpkg, and the installed program used by an
# ordinary user with a fresh home (installed_program_as_user.sh): where it keeps its files,
# and that a language chosen there lasts. The package is removed again afterwards (unless
# it was installed before the test).
#   installed_package.sh <sonvira .deb> <version>
set -euo pipefail
E2E_DIR=$(cd "$(dirname "$0")" && pwd)
deb=$1
version=$2

fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "installing the package needs root (test.sh runs as root)"
[ -f "$deb" ] || fail "no package at $deb"
[ -n "${PULSE_RUNTIME_PATH:-}" ] || fail "no sound server (test.sh starts one)"

installed_before=no
dpkg-query -W -f='${Status}' sonvira 2>/dev/null | grep -q 'install ok installed' && installed_before=yes
shared=
module=
cleanup() {
  [ -n "$module" ] && timeout 5 pactl unload-module "$module" 2>/dev/null || true
  [ -n "$shared" ] && rm -rf "$shared"
  if [ "$installed_before" = no ]; then timeout 120 dpkg -r sonvira >/dev/null 2>&1 || true; fi
}
trap cleanup EXIT

timeout 300 dpkg -i "$deb" >/tmp/sonvira-dpkg.log 2>&1 || fail "dpkg -i: $(tail -5 /tmp/sonvira-dpkg.log)"
for file in /usr/bin/sonvira /usr/share/sonvira/translate.dbf /usr/share/applications/de.orlanda.sonvira.desktop \
            /usr/share/metainfo/de.orlanda.sonvira.metainfo.xml; do
  [ -e "$file" ] || fail "the package did not install $file"
done
echo "ok    dpkg -i installed the program, its table, menu entry and metainfo"

# The user's side runs from a folder the user may read, reaching the test's sound server
# through a socket of its own that asks for no cookie (the server's own is root's).
shared=$(mktemp -d /tmp/sonvira-user.XXXXXX)
chmod 755 "$shared"
mkdir "$shared/e2e" "$shared/pulse" "$shared/runtime"
cp "$E2E_DIR"/{e2e_lib.sh,accessible.py,press_button.py,close_window.py,installed_program_as_user.sh} "$shared/e2e/"
chown nobody:nogroup "$shared/pulse" "$shared/runtime"
chmod 700 "$shared/runtime"
module=$(timeout 5 pactl load-module module-native-protocol-unix socket="$shared/pulse/native" auth-anonymous=1) ||
  fail "could not open a sound server socket for the user"
chmod 755 "$shared/pulse"

timeout 240 setpriv --reuid=nobody --regid=nogroup --clear-groups -- \
  env -i PATH=/usr/bin:/bin LANG=C.UTF-8 PULSE_SERVER="unix:$shared/pulse/native" \
  PULSE_RUNTIME_PATH="$shared/runtime" XDG_RUNTIME_DIR="$shared/runtime" XDG_SESSION_TYPE=x11 \
  bash "$shared/e2e/installed_program_as_user.sh" "$version"
