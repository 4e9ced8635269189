#!/usr/bin/env bash
# The language menu and the translation editor with the shipped table, the real program in
# a folder of its own, driven over the accessibility bus:
#  - "Sprache" > "English": the restart box, captioned "Sonvira", reads the English text and
#    options.dat holds 1;
#  - the next start shows the main window in English;
#  - a translation typed into the editor's grid (found by a search) is the text of the next
#    English message box, without a restart;
#  - the editor closed with its close box while the search was on shows every record
#    when it is opened again.
#   language_and_translation.sh <sonvira> <shipped translate.dbf>
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_atspi_setup

program=$(e2e_program_folder "$1" "$2")
sonvira=$program/sonvira


# The editor's window id, once it is up.
find_editor() {
  local window=
  for _ in $(seq 100); do
    window=$(timeout 2 xdotool search --name '^Translate$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || e2e_fail "the editor did not open"
  echo "$window"
}

# German start: choose English.
e2e_start_sonvira "$sonvira"
e2e_press --click "Sprache"
sleep 0.5
e2e_press --click "English"
e2e_look shown "Please close the program and start it again!"
# The box carries the program's name, as every message box does, not the window's caption.
timeout 5 xdotool search --name '^Sonvira$' >/dev/null || e2e_fail "the restart box's caption is not \"Sonvira\""
e2e_press "OK"
for _ in $(seq 50); do [ -s "$program/options.dat" ] && break; sleep 0.1; done  # written after the box
[ "$(od -An -tx1 "$program/options.dat" | tr -d ' \n')" = "01000000" ] ||
  e2e_fail "options.dat holds $(od -An -tx1 "$program/options.dat")"
e2e_close_program
echo "ok    English chosen: the restart box in English, options.dat holds 1"

# English start.
e2e_start_sonvira "$sonvira"
e2e_look shown "File"
e2e_look shown "Open..."
e2e_look absent "Datei"
echo "ok    the next start is English"

# The editor: find the message by its English text, give it a new one in the grid.
e2e_press --click "Language"
sleep 0.5
e2e_press --click "Translate..."
editor=$(find_editor)
sleep 0.5
timeout 10 xdotool type --delay 10 "Could not open the file" || e2e_fail "could not type the search"
e2e_key Return
sleep 0.5
[ "$(e2e_look rows)" = "1" ] || e2e_fail "the search shows $(e2e_look rows) records instead of 1"
e2e_key Tab Tab  # past "Suchen" into the grid
e2e_key Right F2 ctrl+a
timeout 10 xdotool type --delay 10 "This file cannot be opened." || e2e_fail "could not type the translation"
e2e_key Return
timeout 5 python3 "$E2E_DIR/close_window.py" "$editor" || e2e_fail "could not close the editor"
e2e_look shown "Please close the program and start it again!"
e2e_press "OK"

# A broken WAV: the next message box carries the new translation.
printf 'RIFF' >"$E2E_WORK/broken.wav"
e2e_press --click "File"
sleep 0.5
e2e_press --click "Open..."
sleep 1
timeout 10 xdotool type --delay 10 "$E2E_WORK/broken.wav" || e2e_fail "could not type the file name"
e2e_key Return
e2e_look shown "This file cannot be opened."
e2e_press "OK"
echo "ok    the translation typed in the editor is the next message's text"

# Opened again, the editor shows every record: the search ended with the close box.
e2e_press --click "Language"
sleep 0.5
e2e_press --click "Translate..."
records=$(timeout 10 python3 -c '
import struct, sys
data = open(sys.argv[1], "rb").read()
count, header, length = struct.unpack_from("<IHH", data, 4)
print(sum(data[header + i * length] != 0x2A for i in range(count)))' "$program/translate.dbf")
rows=$(e2e_look rows)
[ "$rows" = "$records" ] || e2e_fail "the editor shows $rows of $records records"
echo "ok    opened again, the editor shows all $rows records"
timeout 5 python3 "$E2E_DIR/close_window.py" "$(find_editor)" || e2e_fail "could not close the editor"
e2e_look shown "Please close the program and start it again!"
e2e_press "OK"
e2e_close_program
