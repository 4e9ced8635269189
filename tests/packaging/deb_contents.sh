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
                /usr/share/icons/hicolor/48x48/apps/de.orlanda.sonvira.png /usr/share/man/man1/sonvira.1.gz \
                /usr/share/man/en/man1/sonvira.1.gz /usr/share/doc/sonvira/changelog.gz \
                /usr/share/doc/sonvira/copyright; do
  grep -qx "$required" <<<"$files" || fail "the package lacks $required"
done
own='^/usr/(bin/sonvira|share/(sonvira|applications|metainfo|icons/hicolor|doc/sonvira)/|share/man/(en/)?man1/sonvira\.1\.gz$)'
stray=$(grep -v -E "$own" <<<"$files" || true)
[ -z "$stray" ] || fail "files that are not the program's own: $stray"
echo "ok    the program's own files and nothing else"

# The newest changelog entry is this version's; an update that forgets to add one would
# ship the old entry on top.
packaged() { timeout 30 dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ".$1"; }
newest=$(packaged /usr/share/doc/sonvira/changelog.gz | gzip -dc | sed -n 1p)
entry='^sonvira \(([^)]*)\) '
[[ "$newest" =~ $entry ]] || fail "the changelog does not begin with an entry: $newest"
[ "${BASH_REMATCH[1]}" = "$version" ] || fail "the newest changelog entry is ${BASH_REMATCH[1]}, the package $version"
echo "ok    the changelog's newest entry is this version"
