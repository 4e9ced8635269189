#!/usr/bin/env bash
# "Von Musik-CD einlesen..." reads a track through the real SG_IO code from a CD drive that
# a preloaded library plays at /dev/sr0 (its sectors generated from their numbers). The
# dialog is driven over the accessibility bus, the sound saved as WAV, and Python's own
# WAV reader finds exactly the track's samples.
#   rip_track.sh <sonvira> <fake CD library>
set -euo pipefail
source "$(dirname "$0")/e2e_lib.sh"
e2e_setup
e2e_atspi_setup
mkdir -p "$E2E_WORK/block/sr0"
export SONVIRA_FAKE_CD_SYSFS=$E2E_WORK/block SONVIRA_FAKE_CD_TRACKS=0,300,1005
export SONVIRA_FAKE_CD_PRODUCT="PRELOADED DRIVE " SONVIRA_FAKE_CD_LOG=$E2E_WORK/sgio.txt
# The library comes before the sanitizer runtime in a sanitizer build; tell it so.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
LD_PRELOAD=$2 e2e_start_sonvira "$1"

e2e_press --click "Datei"
sleep 0.5
e2e_press --click "Von Musik-CD einlesen..."
sleep 1
e2e_press --click "OK"  # track 1, the field's start value
sleep 2
grep -q "^cdb BE" "$SONVIRA_FAKE_CD_LOG" || e2e_fail "no READ CD reached the drive: $(head -5 "$SONVIRA_FAKE_CD_LOG")"

e2e_save_wav "$E2E_WORK/track"
saved=$E2E_SAVED
kill -0 "$SONVIRA_PID" || e2e_fail "program ended"

timeout 30 python3 - "$saved" <<'PY' || e2e_fail "the saved sound is not the track's sectors"
import struct, sys, wave
with wave.open(sys.argv[1]) as w:
    assert (w.getframerate(), w.getnchannels(), w.getsampwidth()) == (44100, 2, 2), w.getparams()
    frames = w.readframes(w.getnframes())
sectors = 300  # track 1: sectors 0 ... 299, 30 reads of 10
assert len(frames) == sectors * 2352, len(frames)
for lba in range(sectors):
    for frame in range(588):
        left, right = struct.unpack_from("<hh", frames, (lba * 588 + frame) * 4)
        want = ((lba * 7 + frame * 13) & 0xFFFF, (lba * 3 - frame * 5) & 0xFFFF)
        if (left & 0xFFFF, right & 0xFFFF) != want:
            sys.exit(f"sector {lba} frame {frame}: {(left, right)} instead of {want}")
print(f"ok    {sectors} sectors read whole and in order")
PY
