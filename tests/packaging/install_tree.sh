#!/usr/bin/env bash
# cmake --install into a staging folder (DESTDIR): every file where a Linux desktop looks
# for it, the menu entry and metainfo accepted by the freedesktop and AppStream checkers,
# each icon a PNG of its size, and the installed translation table made afresh from the
# shipped texts (not the build folder's table, which a developer may have edited).
#   install_tree.sh <build folder> <ship tool> <translations.tsv>
set -euo pipefail
build=$1
ship_tool=$2
texts=$3
stage=$(mktemp -d /tmp/sonvira-stage.XXXXXX)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$stage timeout 120 cmake --install "$build" --prefix /usr >"$stage.log" 2>&1 ||
  fail "cmake --install: $(tail -5 "$stage.log")"
rm -f "$stage.log"
root=$stage/usr
id=de.orlanda.sonvira

[ -x "$root/bin/sonvira" ] || fail "no program in bin"
for file in share/sonvira/translate.dbf share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg; do
  [ -f "$root/$file" ] || fail "$file not installed"
done
echo "ok    the files are in place"

timeout 30 desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Exec=sonvira %f" "$root/share/applications/$id.desktop" || fail "Exec line"
grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "Icon line"
for type in audio/x-wav audio/mpeg audio/flac audio/ogg audio/x-opus+ogg audio/mp4 audio/x-aiff audio/x-wavpack \
            audio/x-ms-wma video/mp4 video/x-matroska; do
  grep -q "^MimeType=.*$type;" "$root/share/applications/$id.desktop" || fail "MimeType lacks $type"
done
timeout 60 appstreamcli validate --no-net --pedantic "$root/share/metainfo/$id.metainfo.xml" ||
  fail "appstreamcli validate"
echo "ok    menu entry and metainfo valid"

timeout 30 python3 - "$root/share/icons/hicolor" "$id" <<'PY' || fail "icons"
import struct, sys
folder, name = sys.argv[1], sys.argv[2]
for size in (16, 24, 32, 48, 64, 128, 256):
    with open(f"{folder}/{size}x{size}/apps/{name}.png", "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{size}: not a PNG")
    width, height = struct.unpack(">II", head[16:24])
    if (width, height) != (size, size):
        sys.exit(f"{size}: the picture is {width}x{height}")
PY
grep -q "<svg" "$root/share/icons/hicolor/scalable/apps/$id.svg" || fail "the scalable icon is no SVG"
echo "ok    icons"

installed=$root/share/sonvira/translate.dbf
records=$(timeout 30 dbfdump -m "$installed") || fail "dbfdump cannot read the installed table"
grep -q "^LANGUAGE2: File *$" <<<"$records" || fail "the installed table has no English \"File\""
mkdir "$stage/fresh"
ASAN_OPTIONS=detect_leaks=0 timeout 60 "$ship_tool" "$texts" "$stage/fresh/translate.dbf" >/dev/null ||
  fail "the ship tool failed"
cmp -s <(timeout 30 dbfdump -m "$installed") <(timeout 30 dbfdump -m "$stage/fresh/translate.dbf") ||
  fail "the installed table is not the one made from the shipped texts"
echo "ok    the installed table holds exactly the shipped texts"
