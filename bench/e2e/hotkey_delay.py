#!/usr/bin/env python3
"""Delay from a speed hot key to the change being heard, with the real program.

  hotkey_delay.py <monitor source> <trials>

The program plays a 440 Hz tone with a 4 Hz tremolo (tests/e2e/sound_analysis.py), speed
and pitch fields coupled. Each trial presses the tempo key five times in one burst
(Ctrl+Shift+F11 from speed 1 to 0.5, or Ctrl+Shift+F12 back), so the tremolo slows from
4 to 2 Hz or speeds up from 2 to 4 Hz while the pitch stays.

Timing: the recorder's output is read as it arrives and every chunk is stamped with the
clock; the earliest (arrival time - samples so far / rate) maps recorded samples to the
clock to within the recorder's 5 ms latency. The key time is when xdotool has sent the
keys. The moment of change is found in the recording: the tremolo's envelope is fitted
before the key (level, depth, phase); then for every candidate moment t0 (1 ms steps) the
envelope is modelled as the old rate up to t0 and the new rate after it, with the phase
continuous, and the t0 with the least squared error wins. Stdlib only.
"""
import math
import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "e2e"))
import sound_analysis as sa  # noqa: E402

RATE = sa.RATE
ENV_RATE = 1000  # envelope samples per second


class Recorder:
    def __init__(self, source):
        self.proc = subprocess.Popen(
            ["parec", "--raw", "--device=" + source, "--format=s16le", "--rate=44100",
             "--channels=1", "--latency-msec=5"], stdout=subprocess.PIPE)
        self.data = bytearray()
        self.origin = math.inf  # clock time of sample 0
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def run(self):
        fd = self.proc.stdout.fileno()
        while True:
            chunk = os.read(fd, 4096)
            now = time.monotonic()
            if not chunk:
                return
            self.data += chunk
            self.origin = min(self.origin, now - (len(self.data) // 2) / RATE)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=5)
        self.thread.join(timeout=5)

    def samples(self):
        n = len(self.data) // 2
        import struct
        return [v / sa.FULL_SCALE for v in struct.unpack("<%dh" % n, bytes(self.data[:2 * n]))]


def envelope(x):
    """RMS over 10 ms around every millisecond."""
    squares = [0.0]
    for v in x:
        squares.append(squares[-1] + v * v)
    half = RATE // 200
    env = []
    step = RATE / ENV_RATE
    k = 0
    while True:
        centre = int(k * step)
        if centre + half >= len(x):
            break
        lo = max(0, centre - half)
        env.append(math.sqrt((squares[centre + half] - squares[lo]) / (centre + half - lo)))
        k += 1
    return env


def fit_fixed_phase(env, phases):
    """Least squares of env ≈ a + b·cos(phase): (a, b, squared error)."""
    n = len(env)
    c = [math.cos(p) for p in phases]
    sc, scc = sum(c), sum(v * v for v in c)
    se, sce = sum(env), sum(e * v for e, v in zip(env, c))
    det = n * scc - sc * sc
    if abs(det) < 1e-12:
        return 0.0, 0.0, math.inf
    a = (se * scc - sc * sce) / det
    b = (n * sce - sc * se) / det
    err = sum((e - a - b * v) ** 2 for e, v in zip(env, c))
    return a, b, err


def fit_before(env, rate_hz):
    """Level and phase of a tremolo at rate_hz: phase offset phi with env ≈ a + b·cos(ωt − phi)."""
    n = len(env)
    w = 2 * math.pi * rate_hz / ENV_RATE
    # Linear least squares in (a, p, q) for a + p·cos(wt) + q·sin(wt), solved by normal equations.
    rows = [(1.0, math.cos(w * i), math.sin(w * i)) for i in range(n)]
    m = [[sum(r[i] * r[j] for r in rows) for j in range(3)] for i in range(3)]
    v = [sum(r[i] * e for r, e in zip(rows, env)) for i in range(3)]
    for i in range(3):  # Gauss–Jordan
        piv = m[i][i]
        for j in range(3):
            m[i][j] /= piv
        v[i] /= piv
        for k in range(3):
            if k != i:
                f = m[k][i]
                for j in range(3):
                    m[k][j] -= f * m[i][j]
                v[k] -= f * v[i]
    _, p, q = v
    return math.atan2(q, p)


def change_moment(env, start, key_index, rate_before, rate_after):
    """Envelope index (from start) where the tremolo changes rate, searched after the key."""
    phi = fit_before(env[start:key_index], rate_before)
    w1 = 2 * math.pi * rate_before / ENV_RATE
    w2 = 2 * math.pi * rate_after / ENV_RATE
    end = min(len(env), key_index + int(1.0 * ENV_RATE))
    best = (math.inf, None)
    for t0 in range(key_index - 50, key_index + 600):
        before = [w1 * (i - start) - phi for i in range(start, t0)]
        after = [w1 * (t0 - start) - phi + w2 * (i - t0) for i in range(t0, end)]
        _, _, e1 = fit_fixed_phase(env[start:t0], before)
        _, _, e2 = fit_fixed_phase(env[t0:end], after)
        if e1 + e2 < best[0]:
            best = (e1 + e2, t0)
    return best[1]


def main(source, trials):
    trials = int(trials)
    recorder = Recorder(source)
    time.sleep(2.0)  # playing steadily at speed 1
    key_times = []
    for trial in range(trials):
        key = "ctrl+shift+F11" if trial % 2 == 0 else "ctrl+shift+F12"
        subprocess.run(["xdotool", "key", "--delay", "1"] + [key] * 5, check=True, timeout=5)
        key_times.append(time.monotonic())
        time.sleep(2.5)
    recorder.stop()
    x = recorder.samples()
    env = envelope(x)
    delays = []
    for trial, key_time in enumerate(key_times):
        slow = trial % 2 == 0
        before, after = (4.0, 2.0) if slow else (2.0, 4.0)
        key_index = int((key_time - recorder.origin) * ENV_RATE)
        start = key_index - int(1.5 * ENV_RATE)
        t0 = change_moment(env, start, key_index, before, after)
        delay_ms = (t0 - key_index) * 1000 / ENV_RATE
        delays.append(delay_ms)
        print("trial %d (%s, tremolo %.0f → %.0f Hz): change heard %.0f ms after the key"
              % (trial + 1, "1 → 0.5" if slow else "0.5 → 1", before, after, delay_ms))
    delays.sort()
    print("hot key to sound: median %.0f ms, min %.0f ms, max %.0f ms (target ≤ 200 ms)"
          % (delays[len(delays) // 2], delays[0], delays[-1]))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(*sys.argv[1:])
