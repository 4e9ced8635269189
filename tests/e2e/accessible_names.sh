#!/usr/bin/env bash
# What a screen reader reads in the real window after a start in each shipped language:
# the names of buttons, fields, the waveform and the menus follow the language the eye
# sees, and none of the German names is left in an English or French window.
#   accessible_names.sh <sonvira> <shipped translate.dbf>
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_atspi_setup

program=$(e2e_program_folder "$1" "$2")

# German | English | French, one control per line.
names=(
  "Öffnen...|Open...|Ouvrir..."
  "Aufnehmen|Record|Enregistrer"
  "Geschwindigkeit:|Speed:|Vitesse :"
  "Tonhöhe|Pitch|Hauteur"
  "Rückspulen nach Pause:|Rewind after pause:|Retour en arrière après une pause :"
  "Verkleinerung:|Reduction:|Réduction :"
  "Wellenform|Waveform|Forme d'onde"
  "Datei|File|Fichier"
  "Tastenkürzel...|Keyboard shortcuts...|Raccourcis clavier..."
)
for language in 0 1 2; do
  printf "\\x0$language\\x00\\x00\\x00" >"$program/options.dat"
  e2e_start_sonvira "$program/sonvira"
  e2e_look shown "$(cut -d'|' -f$((language + 1)) <<<"${names[0]}")" 20
  heard=$(e2e_look names)
  for row in "${names[@]}"; do
    IFS='|' read -r -a forms <<<"$row"
    grep -qxF "${forms[$language]}" <<<"$heard" || e2e_fail "language $language: no control is named \"${forms[$language]}\""
    if [ "$language" != 0 ]; then
      grep -qxF "${forms[0]}" <<<"$heard" && e2e_fail "language $language: a control is still named \"${forms[0]}\""
    fi
  done
  e2e_close_program
  echo "ok    language $language: every name in the language shown"
done
