#!/usr/bin/env python3
"""Builds Zelvano's eight sound effects as 8-bit mono 22050 Hz WAV files.

    python3 scripts/audio/make_sounds.py            # writes assets/sounds/*.wav
    python3 scripts/audio/make_sounds.py OUT_DIR    # writes them elsewhere

Everything is synthesised here from sines, filtered noise and envelopes; the random
generator has a fixed seed, so a run gives the same bytes every time. Each effect has a
fixed sample count, so the files keep their lengths when a sound is reworked.

Rules every effect follows: it starts and ends on the silent middle value (128) with a
short fade, its peak stays well below full scale (8 bits clip hard and sound nasty), and
it is scaled to a healthy level so the 8-bit quantisation noise stays far below it.
"""

import math
import os
import random
import struct
import sys
import wave

RATE = 22050
TWO_PI = 2.0 * math.pi

# Sample counts (file size minus the 44-byte header): 0.76, 0.05, 0.03, 0.47, 1.15,
# 0.08, 2.30 and 1.49 seconds.
LENGTHS = {
    "MIX": 16800,
    "UP": 1150,
    "DOWN": 722,
    "FALSCH": 10486,
    "TAKE": 25340,
    "COLLECT": 1756,
    "DONE": 50836,
    "LOST": 32940,
}


def note(name):
    """Frequency of a note name such as 'C5', 'F#4' or 'Eb4' (A4 = 440 Hz)."""
    steps = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    semis = steps[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        semis += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    octave = int(rest)
    return 440.0 * 2.0 ** ((semis + 12 * (octave - 4)) / 12.0)


# ---------------------------------------------------------------- building blocks


class Biquad:
    """RBJ cookbook biquad; enough for band-pass, low-pass and high-pass colouring."""

    def __init__(self, kind, freq, q=0.707):
        w = TWO_PI * min(freq, RATE * 0.45) / RATE
        cw, sw = math.cos(w), math.sin(w)
        alpha = sw / (2.0 * q)
        if kind == "lp":
            b0, b1, b2 = (1 - cw) / 2, 1 - cw, (1 - cw) / 2
        elif kind == "hp":
            b0, b1, b2 = (1 + cw) / 2, -(1 + cw), (1 + cw) / 2
        else:  # band-pass, peak gain 1
            b0, b1, b2 = alpha, 0.0, -alpha
        a0, a1, a2 = 1 + alpha, -2 * cw, 1 - alpha
        self.b = (b0 / a0, b1 / a0, b2 / a0)
        self.a = (a1 / a0, a2 / a0)
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0

    def __call__(self, x):
        b0, b1, b2 = self.b
        a1, a2 = self.a
        y = b0 * x + b1 * self.x1 + b2 * self.x2 - a1 * self.y1 - a2 * self.y2
        self.x2, self.x1 = self.x1, x
        self.y2, self.y1 = self.y1, y
        return y


def adsr(t, attack, decay, sustain, release_at, release):
    """Linear attack, exponential-ish decay to sustain, cosine release starting at release_at."""
    if t < 0:
        return 0.0
    if t < attack:
        level = t / attack
    else:
        level = sustain + (1.0 - sustain) * math.exp(-(t - attack) / max(decay, 1e-6))
    if t >= release_at:
        r = (t - release_at) / release
        if r >= 1.0:
            return 0.0
        level *= 0.5 * (1.0 + math.cos(math.pi * r))
    return level


def add(buf, start, samples, gain=1.0):
    for i, s in enumerate(samples):
        j = start + i
        if 0 <= j < len(buf):
            buf[j] += gain * s


def tone(freq, dur, partials, env, vibrato=(0.0, 0.0, 0.0), glide_to=None):
    """Additive tone. partials: (ratio, amplitude, decay time or None); env(t) -> 0..1.
    vibrato: (rate Hz, depth as a fraction of the frequency, onset seconds).
    Partials above 10 kHz are left out so nothing folds back below the Nyquist limit."""
    n = int(dur * RATE)
    out = [0.0] * n
    phases = [0.0] * len(partials)
    rate, depth, onset = vibrato
    for i in range(n):
        t = i / RATE
        f = freq if glide_to is None else freq * (glide_to / freq) ** (t / dur)
        if depth and t > onset:
            f *= 1.0 + depth * min(1.0, (t - onset) / 0.15) * math.sin(TWO_PI * rate * (t - onset))
        e = env(t)
        s = 0.0
        for k, (ratio, amp, decay) in enumerate(partials):
            pf = f * ratio
            phases[k] += TWO_PI * pf / RATE
            if pf >= 10000.0:
                continue
            a = amp if decay is None else amp * math.exp(-t / decay)
            s += a * math.sin(phases[k])
        out[i] = s * e
    return out


def finish(buf, peak, fade_in=0.002, fade_out=0.012):
    """Removes any DC offset, fades both ends to silence and scales to the given peak."""
    n = len(buf)
    mean = sum(buf) / n
    buf = [x - mean for x in buf]
    fi = max(1, int(fade_in * RATE))
    fo = max(1, int(fade_out * RATE))
    for i in range(fi):
        buf[i] *= 0.5 * (1.0 - math.cos(math.pi * i / fi))
    for i in range(fo):
        buf[n - 1 - i] *= 0.5 * (1.0 - math.cos(math.pi * i / fo))
    top = max(abs(x) for x in buf) or 1.0
    return [x * peak / top for x in buf]


# ---------------------------------------------------------------- the effects


def make_mix(rng, n):
    """A riffle shuffle: a burst of paper flicks that speeds up and slows down, an airy
    rustle under it, then the deck squared up with two soft taps."""
    buf = [0.0] * n
    # The flicks.
    t = 0.015
    end = 0.53
    while t < end:
        x = (t - 0.015) / (end - 0.015)
        gap = 0.0135 - 0.0065 * math.sin(math.pi * x)  # fast in the middle of the riffle
        burst_len = int(0.006 * RATE)
        bp = Biquad("bp", rng.uniform(2200, 4200), 1.3)
        hp = Biquad("hp", 900)
        amp = rng.uniform(0.55, 1.0) * (0.55 + 0.45 * math.sin(math.pi * min(1.0, x * 1.15)))
        burst = []
        for i in range(burst_len):
            tt = i / RATE
            env = min(1.0, tt / 0.0004) * math.exp(-tt / 0.0013)
            burst.append(hp(bp(rng.uniform(-1, 1))) * env * amp)
        add(buf, int(t * RATE), burst)
        t += gap * rng.uniform(0.8, 1.2)
    # The rustle of cards sliding over each other.
    lp = Biquad("lp", 2500)
    hp = Biquad("hp", 400)
    for i in range(int(0.6 * RATE)):
        tt = i / RATE
        env = math.sin(math.pi * min(1.0, tt / 0.56)) ** 2
        buf[i] += 0.22 * env * hp(lp(rng.uniform(-1, 1)))
    # Squaring the deck: two soft knocks of paper on the table.
    for start, gain in ((0.585, 0.5), (0.665, 0.3)):
        lp = Biquad("lp", 900)
        knock = []
        for i in range(int(0.07 * RATE)):
            tt = i / RATE
            env = min(1.0, tt / 0.001) * math.exp(-tt / 0.012)
            body = math.sin(TWO_PI * 150 * tt) * math.exp(-tt / 0.02)
            knock.append(env * (0.7 * lp(rng.uniform(-1, 1)) + 0.6 * body))
        add(buf, int(start * RATE), knock, gain)
    return finish(buf, 0.80, fade_out=0.02)


def make_up(rng, n):
    """Lifting a card: a short airy swish that rises, with a faint upward glint."""
    buf = [0.0] * n
    dur = n / RATE
    bp_state = None
    for i in range(n):
        t = i / RATE
        x = t / dur
        centre = 1400 + 3200 * x
        if i % 32 == 0:  # sweep the filter in small steps
            new = Biquad("bp", centre, 1.6)
            if bp_state is not None:
                new.x1, new.x2, new.y1, new.y2 = bp_state.x1, bp_state.x2, bp_state.y1, bp_state.y2
            bp_state = new
        env = math.sin(math.pi * min(1.0, x * 1.05)) ** 1.5
        buf[i] = env * bp_state(rng.uniform(-1, 1))
    glint = tone(700, dur, [(1, 1, None), (2, 0.2, None)],
                 lambda t: math.sin(math.pi * min(1.0, t / dur)) ** 2, glide_to=1300)
    add(buf, 0, glint, 0.18)
    return finish(buf, 0.70, fade_in=0.003, fade_out=0.006)


def make_down(rng, n):
    """Putting a card down: a soft, short pat on felt."""
    buf = [0.0] * n
    lp = Biquad("lp", 1800)
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / 0.0012) * math.exp(-t / 0.005)
        thump = math.sin(TWO_PI * (170 - 1500 * t) * t) * min(1.0, t / 0.0015) * math.exp(-t / 0.011)
        buf[i] = 0.65 * env * lp(rng.uniform(-1, 1)) + 0.8 * thump
    return finish(buf, 0.72, fade_in=0.0015, fade_out=0.006)


def reed(freq, dur, release_at, glide_to=None):
    """A mellow reed-like voice: odd harmonics strong, even ones weak, falling off fast."""
    partials = []
    for h in range(1, 10):
        amp = (1.0 if h % 2 else 0.4) / h ** 1.15
        partials.append((h, amp, None))
    env = lambda t: adsr(t, 0.015, 0.08, 0.75, release_at, dur - release_at)
    return tone(freq, dur, partials, env, vibrato=(6.0, 0.006, 0.08), glide_to=glide_to)


def make_falsch(rng, n):
    """A wrong move: a soft two-note 'uh-uh' falling by a third, rounded off by a low-pass."""
    buf = [0.0] * n
    add(buf, 0, reed(note("Bb3"), 0.19, 0.15), 1.0)
    add(buf, int(0.215 * RATE), reed(note("G3"), 0.255, 0.17, glide_to=note("G3") * 0.96), 1.0)
    lp = Biquad("lp", 2600)
    buf = [lp(x) for x in buf]
    return finish(buf, 0.64)


def bell(freq, dur, decay):
    """A small metal bar struck softly: the bar's own inharmonic partials, the high ones
    dying first, plus a faint octave for warmth."""
    partials = [(1.0, 1.0, decay), (2.0, 0.10, decay * 0.5), (2.756, 0.22, decay * 0.28),
                (5.404, 0.07, decay * 0.1)]
    env = lambda t: min(1.0, t / 0.0025)
    return tone(freq, dur, partials, env)


def make_take(rng, n):
    """Claiming a pattern: a quick rising arpeggio of little bells ending in a bright chord."""
    buf = [0.0] * n
    total = n / RATE
    steps = [("G5", 0.00, 0.75), ("C6", 0.075, 0.8), ("E6", 0.15, 0.85), ("G6", 0.225, 0.9)]
    for name, start, gain in steps:
        add(buf, int(start * RATE), bell(note(name), total - start, 0.45), gain)
    # The landing note, with the chord below it ringing a little longer.
    land = 0.30
    add(buf, int(land * RATE), bell(note("C7"), total - land, 0.55), 0.8)
    for name in ("C6", "E6", "G6"):
        add(buf, int(land * RATE), bell(note(name), total - land, 0.5), 0.25)
    return finish(buf, 0.82, fade_out=0.04)


def make_collect(rng, n):
    """Collecting a card: a tiny two-step coin blip."""
    buf = [0.0] * n
    soft_square = [(1, 1.0, None), (3, 0.22, None), (5, 0.07, None)]
    first = tone(note("B5"), 0.03, soft_square, lambda t: adsr(t, 0.001, 0.05, 0.8, 0.024, 0.006))
    second_dur = n / RATE - 0.028
    second = tone(note("E6"), second_dur, soft_square,
                  lambda t: min(1.0, t / 0.001) * math.exp(-t / 0.02))
    add(buf, 0, first)
    add(buf, int(0.028 * RATE), second)
    return finish(buf, 0.62, fade_in=0.001, fade_out=0.008)


def brass(freq, dur, release_at, release, vib=True):
    """A soft brass voice: a sawtooth-like spectrum that brightens as the note swells."""
    n = int(dur * RATE)
    out = [0.0] * n
    nh = max(1, min(14, int(9000 / freq)))
    phases = [0.0] * nh
    for i in range(n):
        t = i / RATE
        e = adsr(t, 0.03, 0.12, 0.78, release_at, release)
        if t < 0.03:
            e *= 1.0 + 0.15 * math.sin(math.pi * t / 0.03)  # a little lip push at the start
        f = freq
        if vib and t > 0.25:
            f *= 1.0 + 0.004 * min(1.0, (t - 0.25) / 0.2) * math.sin(TWO_PI * 5.2 * t)
        bright = 0.25 + 0.55 * min(1.0, e)
        s = 0.0
        for h in range(nh):
            phases[h] += TWO_PI * f * (h + 1) / RATE
            s += (bright ** h) / (h + 1) * math.sin(phases[h])
        out[i] = s * e
    return out


def make_done(rng, n):
    """A won game: a short brass fanfare rising through the major chord to a held tonic chord."""
    buf = [0.0] * n
    total = n / RATE
    calls = [("C5", 0.00, 0.13), ("E5", 0.13, 0.13), ("G5", 0.26, 0.13),
             ("C6", 0.39, 0.34), ("G5", 0.76, 0.12)]
    for name, start, length in calls:
        add(buf, int(start * RATE), brass(note(name), length, length - 0.04, 0.04, vib=False), 1.5)
    # The held chord: melody on top, the triad below it, and a soft low root.
    hold = 0.90
    length = total - hold
    for name, gain in (("C6", 0.7), ("G5", 0.34), ("E5", 0.34), ("C5", 0.36), ("C4", 0.3)):
        add(buf, int(hold * RATE), brass(note(name), length, length - 0.7, 0.68), gain)
    # A light cymbal-like shimmer on the arrival of the chord.
    hp = Biquad("hp", 5000)
    for i in range(int(1.2 * RATE)):
        t = i / RATE
        j = int(hold * RATE) + i
        if j < n:
            buf[j] += 0.12 * min(1.0, t / 0.003) * math.exp(-t / 0.35) * hp(rng.uniform(-1, 1))
    lp = Biquad("lp", 6000)
    buf = [lp(x) for x in buf]
    return finish(buf, 0.85, fade_out=0.05)


def flute(freq, dur, release_at, release):
    """A breathy flute-like voice with a slow, late vibrato."""
    partials = [(1, 1.0, None), (2, 0.28, None), (3, 0.10, None), (4, 0.04, None)]
    env = lambda t: adsr(t, 0.05, 0.2, 0.85, release_at, release)
    return tone(freq, dur, partials, env, vibrato=(4.8, 0.005, 0.18))


def make_lost(rng, n):
    """A lost game: a gentle falling phrase, a little sad, not mocking."""
    buf = [0.0] * n
    total = n / RATE
    phrase = [("G4", 0.00, 0.30), ("F4", 0.29, 0.30), ("Eb4", 0.58, 0.32), ("D4", 0.88, total - 0.88)]
    for k, (name, start, length) in enumerate(phrase):
        last = k == len(phrase) - 1
        rel = 0.45 if last else 0.06
        add(buf, int(start * RATE), flute(note(name), length, length - rel, rel), 0.9)
        # breath noise at each note's start
        bp = Biquad("bp", note(name) * 3, 2.0)
        for i in range(int(0.12 * RATE)):
            t = i / RATE
            j = int(start * RATE) + i
            if j < n:
                buf[j] += 0.09 * math.sin(math.pi * t / 0.12) * bp(rng.uniform(-1, 1))
    # A soft low drone under the end of the phrase, a fifth below the last note.
    add(buf, int(0.88 * RATE), flute(note("G3"), total - 0.88, total - 0.88 - 0.45, 0.45), 0.3)
    return finish(buf, 0.80, fade_out=0.03)


MAKERS = {
    "MIX": make_mix,
    "UP": make_up,
    "DOWN": make_down,
    "FALSCH": make_falsch,
    "TAKE": make_take,
    "COLLECT": make_collect,
    "DONE": make_done,
    "LOST": make_lost,
}


def to_bytes(samples):
    out = bytearray()
    for x in samples:
        v = int(round(128 + 127 * x))
        out.append(max(1, min(254, v)))
    # The ends must sit exactly on silence.
    out[0] = out[-1] = 128
    return bytes(out)


def write_wav(path, data):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "sounds")
    os.makedirs(out_dir, exist_ok=True)
    for name, maker in MAKERS.items():
        rng = random.Random("zelvano-" + name)
        n = LENGTHS[name]
        samples = maker(rng, n)
        assert len(samples) == n, (name, len(samples))
        path = os.path.join(out_dir, name + ".wav")
        write_wav(path, to_bytes(samples))
        print("%-8s %6d samples  %.3f s  -> %s" % (name, n, n / RATE, os.path.relpath(path)))


if __name__ == "__main__":
    main()
