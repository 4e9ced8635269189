#!/usr/bin/env python3
"""Delay from the play key to the first sound, with the real program idle before.

  play_start_delay.py <monitor source>

The program has a tone open and plays nothing. F11 starts playback; the recording of
the sink's monitor is stamped with the clock (see hotkey_delay.py's Recorder) and the
first loud sample after the key marks the sound. Prints the delay in milliseconds.

What the delay holds: the window's handling of the key and the play command, the
opening and start of the output stream, the ring's first lap of silence (92.9 ms of
ring, but taken faster than real time while the host's buffer first fills) and the
sound server's buffer. A stream opened by the key can come out sooner than that sum:
the server may mix a new stream into sound its sink has already rendered ahead (a
rewind), while an already running stream first plays out the silence it has queued.
Stdlib only.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from hotkey_delay import Recorder, RATE  # noqa: E402


def main(source):
    recorder = Recorder(source)
    time.sleep(1.0)  # the recorder is connected and its clock mapping settled
    subprocess.run(["xdotool", "key", "F11"], check=True, timeout=5)
    key_time = time.monotonic()
    time.sleep(1.5)
    recorder.stop()
    x = recorder.samples()
    start = max(0, int((key_time - recorder.origin) * RATE))
    for i in range(start, len(x)):
        if abs(x[i]) > 0.05:
            print("%.0f" % ((recorder.origin + i / RATE - key_time) * 1000))
            return
    raise SystemExit("no sound within 1.5 s of the key")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    main(sys.argv[1])
