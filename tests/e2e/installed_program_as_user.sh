#!/usr/bin/env bash
# The installed program (/usr/bin/sonvira) as an ordinary user with a fresh home, driven
# over the accessibility bus (started by installed_package.sh):
#  - --version and --help answer without a window;
#  - the installed copy keeps its files in ~/.local/share/sonvira, made and seeded with
#    the shipped table at the first start; English chosen there lasts to the next start;
#  - a copy in a folder the user may write keeps its files beside itself, as ever;
#  - the same copy write-protected uses the user's data folder.
#   installed_program_as_user.sh <version>
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
[ "$(id -u)" -ne 0 ] || e2e_fail "meant for an ordinary user"

[ "$(timeout 10 sonvira --version)" = "Sonvira $1" ] || e2e_fail "sonvira --version: $(timeout 10 sonvira --version)"
timeout 10 sonvira --help | grep -q -- "--version" || e2e_fail "sonvira --help names no --version"
echo "ok    --version and --help"

e2e_setup
e2e_atspi_setup
data=$HOME/.local/share/sonvira
[ ! -e "$data" ] || e2e_fail "the home folder is not fresh"

# choose_language <menu item> <restart text>: through the menu, with the restart box.
choose_language() {
  e2e_press --click "Sprache"
  sleep 0.5
  e2e_press --click "$1"
  e2e_look shown "$2"
  e2e_press "OK"
}

# options_in <folder>: the bytes of the options.dat there, once written.
options_in() {
  for _ in $(seq 50); do [ -s "$1/options.dat" ] && break; sleep 0.1; done
  od -An -tx1 "$1/options.dat" 2>/dev/null | tr -d ' \n'
}

e2e_start_sonvira /usr/bin/sonvira
[ -s "$data/translate.dbf" ] || e2e_fail "no translate.dbf in $data"
choose_language "English" "Please close the program and start it again!"
[ "$(options_in "$data")" = "01000000" ] || e2e_fail "options.dat in $data: $(options_in "$data")"
e2e_close_program
[ -e /usr/bin/options.dat ] && e2e_fail "options.dat written beside the installed program"
e2e_start_sonvira /usr/bin/sonvira
e2e_look shown "File"
e2e_look absent "Datei"
e2e_close_program
echo "ok    installed: files in $data, English kept for the next start"

portable=$E2E_WORK/portable
mkdir "$portable"
cp /usr/bin/sonvira /usr/share/sonvira/translate.dbf "$portable/"
e2e_start_sonvira "$portable/sonvira"
e2e_look shown "Datei"  # its own options: none yet
choose_language "Français" "Veuillez fermer le programme et le redémarrer !"
[ "$(options_in "$portable")" = "02000000" ] || e2e_fail "options.dat beside the copy: $(options_in "$portable")"
[ "$(options_in "$data")" = "01000000" ] || e2e_fail "the data folder's options.dat changed"
e2e_close_program
echo "ok    a copy in a writable folder keeps its files beside itself"

chmod 555 "$portable"
e2e_start_sonvira "$portable/sonvira"
e2e_look shown "File"  # the data folder's English
e2e_close_program
chmod 755 "$portable"
echo "ok    the same copy write-protected uses the data folder"
