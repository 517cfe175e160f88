#!/usr/bin/env python3
"""Looks over the sound effects: format, peaks, levels, ends, and an envelope per effect.

    python3 scripts/audio/check_sounds.py [DIR] [--png OUT.png]

Prints one report line and a coarse envelope (10 ms steps) per file and fails (exit 1) when
a file is not 8-bit mono 22050 Hz PCM, touches full scale, or does not start and end on
silence. With --png it also draws every waveform above its spectrogram (0 to 11 kHz) into
one picture, to be looked at.
"""

import cmath
import math
import os
import struct
import sys
import wave
import zlib

NAMES = ["MIX", "UP", "DOWN", "FALSCH", "TAKE", "COLLECT", "DONE", "LOST"]


def read(path):
    with wave.open(path, "rb") as w:
        fmt = (w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getcomptype())
        data = w.readframes(w.getnframes())
    return fmt, [(b - 128) / 127.0 for b in data], data


def fft(x):
    n = len(x)
    if n == 1:
        return x
    even, odd = fft(x[0::2]), fft(x[1::2])
    out = [0j] * n
    for k in range(n // 2):
        t = cmath.exp(-2j * math.pi * k / n) * odd[k]
        out[k] = even[k] + t
        out[k + n // 2] = even[k] - t
    return out


def png(path, width, height, pixels):
    raw = b"".join(b"\x00" + bytes(row) for row in pixels)

    def chunk(tag, body):
        c = struct.pack(">I", len(body)) + tag + body
        return c + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def draw(results, out):
    width, wave_h, spectrum_h, gap = 900, 70, 90, 18
    rows = []
    for name, x in results:
        band = [[30, 30, 30] * width for _ in range(wave_h)]
        per = max(1, len(x) // width)
        for col in range(width):
            seg = x[col * per:(col + 1) * per] or [0.0]
            lo, hi = min(seg), max(seg)
            y0 = int((1 - hi) / 2 * (wave_h - 1))
            y1 = int((1 - lo) / 2 * (wave_h - 1))
            for y in range(y0, y1 + 1):
                band[y][col * 3:col * 3 + 3] = [90, 200, 120]
        band[wave_h // 2] = [70, 70, 70] * width
        spectrum = [[0, 0, 0] * width for _ in range(spectrum_h)]
        size, hop = 256, max(1, len(x) // width)
        win = [0.5 - 0.5 * math.cos(2 * math.pi * i / size) for i in range(size)]
        for col in range(width):
            start = col * hop
            frame = x[start:start + size]
            if len(frame) < size:
                frame = frame + [0.0] * (size - len(frame))
            mags = fft([complex(frame[i] * win[i]) for i in range(size)])
            for y in range(spectrum_h):
                b = int((spectrum_h - 1 - y) / spectrum_h * (size // 2))
                db = 20 * math.log10(abs(mags[b]) + 1e-6)
                v = max(0, min(255, int((db + 40) * 4)))
                spectrum[y][col * 3:col * 3 + 3] = [v, v // 2, 255 - v if v else 0]
        rows += band + spectrum + [[255, 255, 255] * width for _ in range(gap)]
    png(out, width, len(rows), rows)


def main():
    args = sys.argv[1:]
    out_png = None
    if "--png" in args:
        i = args.index("--png")
        out_png = args[i + 1]
        del args[i:i + 2]
    here = os.path.dirname(os.path.abspath(__file__))
    folder = args[0] if args else os.path.join(here, "..", "..", "assets", "sounds")
    bad = 0
    results = []
    for name in NAMES:
        fmt, x, raw = read(os.path.join(folder, name + ".wav"))
        peak = max(abs(v) for v in x)
        rms = math.sqrt(sum(v * v for v in x) / len(x))
        problems = []
        if fmt != (1, 1, 22050, "NONE"):
            problems.append("format %r" % (fmt,))
        if min(raw) == 0 or max(raw) == 255:
            problems.append("clips")
        if raw[0] != 128 or raw[-1] != 128:
            problems.append("ends %d/%d" % (raw[0], raw[-1]))
        if abs(raw[1] - 128) > 3 or abs(raw[-2] - 128) > 3:
            problems.append("steps at an end")
        print("%-8s %6d samples %.3f s  peak %.2f (%d..%d)  rms %.3f  %s" % (
            name, len(x), len(x) / 22050.0, peak, min(raw), max(raw), rms,
            "; ".join(problems) or "ok"))
        step = 220  # 10 ms
        env = []
        for i in range(0, len(x), step):
            p = max(abs(v) for v in x[i:i + step])
            env.append(" .:-=+*#%@"[min(9, int(p * 10))])
        print("          |" + "".join(env) + "|")
        bad += bool(problems)
        results.append((name, x))
    if out_png:
        draw(results, out_png)
        print("picture:", out_png)
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
