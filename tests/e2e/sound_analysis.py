#!/usr/bin/env python3
"""Test sounds and the analysis of recordings for the end-to-end playback tests.

Standard library only. Recordings are raw mono signed 16-bit little-endian at 44.1 kHz
(parecord --raw). Each analysis prints what it measured and exits with 1 when a check
fails, so the test's output says what was heard.

  generate <wav> tone|tremolo|ramp <seconds>
  tone <raw> <hz> <dbfs>           the tone is held, at its level, after it starts
  tremolo <raw> <carrier hz> <rate hz>
  pause <raw> <hz per s> <rewind s>
  level <raw> <min dbfs>           some sound was recorded
  silence <raw> [<max dbfs>]       nothing (louder than -50 dBFS) was recorded
  purity <raw> <hz> <min db>       a held tone at hz (within 0.5 %): its band's energy
                                   (±3 %) against all other energy
"""
import math
import struct
import sys
import wave

RATE = 44100
FULL_SCALE = 32768.0

# Test sounds. All loop without a jump: whole periods of carrier and tremolo.
TONE_HZ = 440.0
TONE_AMPLITUDE = 0.5            # -9.03 dBFS RMS for the steady tone
TREMOLO_HZ = 4.0
TREMOLO_DEPTH = 0.5             # the amplitude swings between 0.5 and 1.5 of its mean
RAMP_START_HZ = 300.0           # the ramp's frequency rises by RAMP_HZ_PER_S each second
RAMP_HZ_PER_S = 50.0


def sample_at(kind, t):
    if kind == "tone":
        return TONE_AMPLITUDE * math.sin(2 * math.pi * TONE_HZ * t)
    if kind == "tremolo":
        envelope = 1 + TREMOLO_DEPTH * math.sin(2 * math.pi * TREMOLO_HZ * t)
        return 0.4 * envelope * math.sin(2 * math.pi * TONE_HZ * t)
    if kind == "ramp":
        phase = RAMP_START_HZ * t + RAMP_HZ_PER_S * t * t / 2
        return TONE_AMPLITUDE * math.sin(2 * math.pi * phase)
    raise SystemExit("unknown sound " + kind)


def generate(path, kind, seconds):
    frames = bytearray()
    for n in range(int(float(seconds) * RATE)):
        v = int(round(sample_at(kind, n / RATE) * 32767))
        frames += struct.pack("<hh", v, v)
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


def read_raw(path):
    with open(path, "rb") as f:
        data = f.read()
    count = len(data) // 2
    return [v / FULL_SCALE for v in struct.unpack("<%dh" % count, data[: 2 * count])]


def rms(x):
    return math.sqrt(sum(v * v for v in x) / len(x)) if x else 0.0


def dbfs(value):
    return 20 * math.log10(value) if value > 0 else -math.inf


def amplitude_at(x, hz):
    """Amplitude of the sinusoid at hz in x (Hann-windowed Goertzel)."""
    n = len(x)
    coeff = 2 * math.cos(2 * math.pi * hz / RATE)
    s1 = s2 = 0.0
    wsum = 0.0
    for i, v in enumerate(x):
        w = 0.5 - 0.5 * math.cos(2 * math.pi * i / n)
        wsum += w
        s0 = v * w + coeff * s1 - s2
        s2, s1 = s1, s0
    power = s1 * s1 + s2 * s2 - coeff * s1 * s2
    return 2 * math.sqrt(max(power, 0.0)) / wsum


def strongest(x, low, high, step):
    """(frequency, amplitude) of the strongest sinusoid between low and high Hz."""
    best = (low, -1.0)
    f = low
    while f <= high + 1e-9:
        a = amplitude_at(x, f)
        if a > best[1]:
            best = (f, a)
        f += step
    return best


def dominant_frequency(x):
    """Strongest sinusoid from 100 Hz to 2 kHz, found coarse then fine."""
    coarse = x[: RATE // 5]
    f, _ = strongest(coarse, 100, 2000, 5)
    return strongest(x, f - 5, f + 5, 0.25)


def onset(x, threshold=0.05):
    """Index of the first sample louder than threshold, or None."""
    for i, v in enumerate(x):
        if abs(v) > threshold:
            return i
    return None


def zero_crossing_frequency(x):
    """Frequency from the rising zero crossings (interpolated) in x."""
    crossings = []
    for i in range(1, len(x)):
        if x[i - 1] < 0 <= x[i]:
            crossings.append(i - 1 + x[i - 1] / (x[i - 1] - x[i]))
    if len(crossings) < 3:
        return 0.0
    return (len(crossings) - 1) * RATE / (crossings[-1] - crossings[0])


def envelope(x, step):
    """RMS over one step-long block every step samples."""
    return [rms(x[i:i + step]) for i in range(0, len(x) - step + 1, step)]


def modulation_rate(x):
    """Rate in Hz of the strongest amplitude modulation from 0.5 to 10 Hz."""
    step = RATE // 200  # envelope at 200 Hz
    env = envelope(x, step)
    mean = sum(env) / len(env)
    env = [v - mean for v in env]
    best = (0.0, -1.0)
    f = 0.5
    while f <= 10.0:
        coeff = 2 * math.cos(2 * math.pi * f / 200)
        s1 = s2 = 0.0
        n = len(env)
        for i, v in enumerate(env):
            s0 = v * (0.5 - 0.5 * math.cos(2 * math.pi * i / n)) + coeff * s1 - s2
            s2, s1 = s1, s0
        p = s1 * s1 + s2 * s2 - coeff * s1 * s2
        if p > best[1]:
            best = (f, p)
        f += 0.02
    return best[0]


class Checks:
    def __init__(self):
        self.failed = False

    def expect(self, ok, text):
        print(("ok    " if ok else "FAIL  ") + text)
        self.failed |= not ok

    def done(self):
        sys.exit(1 if self.failed else 0)


def after_onset(x, checks, need_seconds):
    start = onset(x)
    checks.expect(start is not None, "sound was recorded (peak %.3f of full scale)"
                  % max((abs(v) for v in x), default=0))
    if start is None:
        checks.done()
    rest = x[start:]
    checks.expect(len(rest) >= need_seconds * RATE,
                  "%.2f s of sound after its start (need %.2f s)" % (len(rest) / RATE, need_seconds))
    if len(rest) < need_seconds * RATE:
        checks.done()
    return rest


def check_tone(path, hz, level_db):
    hz, level_db = float(hz), float(level_db)
    checks = Checks()
    # Skip the first 0.2 s (the device starts up), then two seconds in 100 ms blocks.
    x = after_onset(read_raw(path), checks, 2.2)[int(0.2 * RATE):int(2.2 * RATE)]
    f, _ = dominant_frequency(x[:RATE])
    checks.expect(abs(f - hz) <= 2, "strongest frequency %.2f Hz (expected %.1f ± 2)" % (f, hz))
    measured = dbfs(rms(x))
    checks.expect(abs(measured - level_db) <= 1.5,
                  "level %.2f dBFS RMS (expected %.2f ± 1.5)" % (measured, level_db))
    # Held: in every 100 ms block the tone carries nearly all the sound (no gap, no click).
    block = RATE // 10
    worst = (1.0, 0)
    for i in range(0, len(x) - block + 1, block):
        part = x[i:i + block]
        total = rms(part)
        share = (amplitude_at(part, f) ** 2 / 2) / (total * total) if total > 0 else 0.0
        worst = min(worst, (share, i))
    checks.expect(worst[0] >= 0.9, "tone's share of the power in its weakest 100 ms block: %.3f "
                  "(at %.1f s; expected ≥ 0.9)" % (worst[0], worst[1] / RATE))
    checks.done()


def check_tremolo(path, carrier_hz, rate_hz):
    carrier_hz, rate_hz = float(carrier_hz), float(rate_hz)
    checks = Checks()
    x = after_onset(read_raw(path), checks, 2.0)[:3 * RATE]
    f, _ = dominant_frequency(x[:RATE])
    # The pitch shifter moves whole FFT bins (43 Hz apart), so a corrected carrier may land
    # up to half a bin off; an uncorrected one would be a factor away.
    allowed = 0.05 * carrier_hz
    checks.expect(abs(f - carrier_hz) <= allowed,
                  "carrier %.2f Hz (expected %.1f ± %.0f)" % (f, carrier_hz, allowed))
    rate = modulation_rate(x)
    checks.expect(abs(rate - rate_hz) <= 0.3 * rate_hz / 2,
                  "tremolo %.2f Hz (expected %.2f ± %.2f)" % (rate, rate_hz, 0.3 * rate_hz / 2))
    checks.done()


def steady_stretch(x, tolerance=2.5 / FULL_SCALE):
    """(start, end) of the longest run in which the signal does not change."""
    best = (0, 0)
    start = 0
    for i in range(1, len(x)):
        if abs(x[i] - x[i - 1]) > tolerance:
            if i - start > best[1] - best[0]:
                best = (start, i)
            start = i
    if len(x) - start > best[1] - best[0]:
        best = (start, len(x))
    return best


def check_pause(path, hz_per_s, rewind_s):
    """The pause is one steady stretch; after it the sound goes on rewind_s earlier.

    The sound is the rising ramp, so the frequency tells where in the file the sound is:
    the frequency just after the pause must lie rewind_s * hz_per_s below the one just
    before it.
    """
    hz_per_s, rewind_s = float(hz_per_s), float(rewind_s)
    checks = Checks()
    x = after_onset(read_raw(path), checks, 2.0)  # the silence before playing is steady too
    start, end = steady_stretch(x)
    checks.expect(end - start >= 0.8 * RATE,
                  "steady output for %.2f s from %.2f s (expected ≥ 0.8 s while paused; level %.4f)"
                  % ((end - start) / RATE, start / RATE, x[start] if start < len(x) else 0))
    window = RATE // 10
    gap = RATE // 50
    before = x[max(0, start - gap - window):max(0, start - gap)]
    after = x[end + gap:end + gap + window]
    checks.expect(len(before) == window and rms(before) > 0.1,
                  "sound before the pause (%.2f s, level %.1f dBFS)" % (len(before) / RATE, dbfs(rms(before))))
    checks.expect(len(after) == window and rms(after) > 0.1,
                  "sound after the pause (%.2f s, level %.1f dBFS)" % (len(after) / RATE, dbfs(rms(after))))
    if checks.failed:
        checks.done()
    f_before = zero_crossing_frequency(before)
    f_after = zero_crossing_frequency(after)
    # The two windows' middles lie this far apart in the sound's own time, besides the rewind.
    apart = 2 * (gap + window / 2) / RATE
    went_back = (f_before - f_after) / hz_per_s + apart
    checks.expect(abs(went_back - rewind_s) <= 0.1,
                  "frequency %.1f Hz before the pause, %.1f Hz after: went back %.2f s (expected %.2f ± 0.1)"
                  % (f_before, f_after, went_back, rewind_s))
    checks.done()


def fft(values):
    """Iterative radix-2 transform of a list of complex numbers (length a power of 2)."""
    n = len(values)
    a = list(values)
    j = 0
    for i in range(1, n):
        bit = n >> 1
        while j & bit:
            j ^= bit
            bit >>= 1
        j |= bit
        if i < j:
            a[i], a[j] = a[j], a[i]
    size = 2
    while size <= n:
        step = complex(math.cos(2 * math.pi / size), -math.sin(2 * math.pi / size))
        half = size // 2
        for start in range(0, n, size):
            w = 1 + 0j
            for k in range(start, start + half):
                t = w * a[k + half]
                a[k + half] = a[k] - t
                a[k] += t
                w *= step
        size *= 2
    return a


def purity_db(x, hz):
    """Energy within ±3 % of hz against all other energy (Blackman-Harris window, so
    the window's own leakage stays far below what is measured)."""
    n = len(x)
    windowed = []
    for i, v in enumerate(x):
        w = (0.35875 - 0.48829 * math.cos(2 * math.pi * i / n) + 0.14128 * math.cos(4 * math.pi * i / n)
             - 0.01168 * math.cos(6 * math.pi * i / n))
        windowed.append(complex(v * w, 0))
    spectrum = fft(windowed)
    tone = rest = 0.0
    for k in range(1, n // 2):
        power = abs(spectrum[k]) ** 2
        if abs(k * RATE / n - hz) <= 0.03 * hz:
            tone += power
        else:
            rest += power
    return 10 * math.log10(tone / max(rest, 1e-30))


def check_purity(path, hz, min_db):
    hz, min_db = float(hz), float(min_db)
    checks = Checks()
    # Skip 0.5 s after the sound starts (the device and the stretcher settle).
    x = after_onset(read_raw(path), checks, 0.5 + 32768 / RATE)[int(0.5 * RATE):int(0.5 * RATE) + 32768]
    f = zero_crossing_frequency(x)
    checks.expect(abs(f - hz) <= 0.005 * hz, "frequency %.2f Hz (expected %.1f ± 0.5 %%)" % (f, hz))
    purity = purity_db(x, hz)
    checks.expect(purity >= min_db, "purity %.1f dB (expected ≥ %.1f)" % (purity, min_db))
    checks.done()


def check_level(path, min_db):
    checks = Checks()
    x = read_raw(path)
    level = dbfs(rms(x[len(x) // 4:])) if x else -math.inf
    checks.expect(level >= float(min_db), "level %.1f dBFS (expected ≥ %s)" % (level, min_db))
    checks.done()


def check_silence(path, max_db=-50):
    checks = Checks()
    x = read_raw(path)
    level = dbfs(rms(x)) if x else -math.inf
    checks.expect(level <= float(max_db), "level %.1f dBFS (expected silence, ≤ %s)" % (level, max_db))
    checks.done()


def main(argv):
    commands = {"generate": generate, "tone": check_tone, "tremolo": check_tremolo,
                "pause": check_pause, "level": check_level, "purity": check_purity,
                "silence": check_silence}
    if len(argv) < 2 or argv[1] not in commands:
        raise SystemExit(__doc__)
    commands[argv[1]](*argv[2:])


if __name__ == "__main__":
    main(sys.argv)
