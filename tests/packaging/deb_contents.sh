#!/usr/bin/env bash
# The Debian package: its name, version and architecture, dependencies that bring the
# libraries the program links, and only the program's own files, all under /usr.
#   deb_contents.sh <sonvira .deb> <version>
set -euo pipefail
deb=$1
version=$2
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$deb" ] || fail "no package at $deb"
field() { timeout 30 dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = sonvira ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for library in libqt6widgets6 libqt6dbus6 libportaudio2 libmpg123-0 libmp3lame0 librubberband2 libavformat \
               libswresample qt6-qpa-plugins qt6-translations-l10n libasound2-plugins; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
echo "ok    name, version, architecture and dependencies"

files=$(timeout 30 dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's#^\./#/#')
for required in /usr/bin/sonvira /usr/share/sonvira/translate.dbf /usr/share/applications/de.orlanda.sonvira.desktop \
                /usr/share/metainfo/de.orlanda.sonvira.metainfo.xml \
                /usr/share/icons/hicolor/48x48/apps/de.orlanda.sonvira.png; do
  grep -qx "$required" <<<"$files" || fail "the package lacks $required"
done
stray=$(grep -v -E '^/usr/(bin/sonvira|share/(sonvira|applications|metainfo|icons/hicolor|doc/sonvira)/)' <<<"$files" || true)
[ -z "$stray" ] || fail "files that are not the program's own: $stray"
echo "ok    the program's own files and nothing else"
