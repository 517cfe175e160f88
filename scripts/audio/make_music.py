#!/usr/bin/env python3
"""Writes Zelvano's three background tunes as Standard MIDI Files (format 1, General MIDI).

    python3 scripts/audio/make_music.py            # writes assets/music/*.mid
    python3 scripts/audio/make_music.py OUT_DIR    # writes them elsewhere

Each tune is written down below as a chord per bar and a melody per bar; the accompaniment
(chords, broken chords, bass, a little percussion) is derived from the chords by the
arrangement helpers. They are calm on purpose: the player is thinking. Each ends on its
home chord, the chord it starts on, so the game's endless repeat joins up smoothly.
Velocities get a small, seeded variation so the parts do not sound machine-stamped.
"""

import os
import random
import struct
import sys

TPQ = 480  # ticks per quarter note

PITCH_CLASS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

CHORD_SHAPES = {
    "": (0, 4, 7),
    "m": (0, 3, 7),
    "7": (0, 4, 7, 10),
    "m7": (0, 3, 7, 10),
    "maj7": (0, 4, 7, 11),
    "sus4": (0, 5, 7),
}


def pitch(name):
    """MIDI number of a note name such as 'C4' (60), 'F#5' or 'Bb3'."""
    pc = PITCH_CLASS[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        pc += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 12 * (int(rest) + 1) + pc


def chord(name):
    """(root pitch class, intervals) of a chord symbol such as 'Dm7', 'Bbmaj7' or 'A7'."""
    root = PITCH_CLASS[name[0]]
    rest = name[1:]
    if rest[:1] in ("#", "b"):
        root = (root + (1 if rest[0] == "#" else -1)) % 12
        rest = rest[1:]
    return root, CHORD_SHAPES[rest]


def voicing(name, low, high):
    """The chord's tones, each placed once in [low, high): close voicings that move little."""
    root, shape = chord(name)
    notes = []
    for iv in shape:
        pc = (root + iv) % 12
        n = low + (pc - low) % 12
        if n < high:
            notes.append(n)
    return sorted(notes)


def root_in(name, low):
    root, _ = chord(name)
    return low + (root - low) % 12


def fifth_in(name, low):
    root, shape = chord(name)
    return low + (root + 7 - low) % 12


def parse_bar(text):
    """'A4:1.5 G4:.5 r:1' -> [(pitch or None, beats), ...]."""
    out = []
    for item in text.split():
        n, beats = item.split(":")
        out.append((None if n == "r" else pitch(n), float(beats)))
    return out


def parse_chords(text):
    """'C:2 D:2' or 'F' -> [(chord, beats or None for the whole bar)]."""
    out = []
    for item in text.split():
        if ":" in item:
            c, beats = item.split(":")
            out.append((c, float(beats)))
        else:
            out.append((item, None))
    return out


# ---------------------------------------------------------------- the file format


def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self, name, channel=None):
        self.events = []  # (tick, order, bytes); note-offs sort before note-ons at one tick
        self.channel = channel
        self.meta(0, 0x03, name.encode("ascii"))

    def meta(self, tick, kind, data):
        self.events.append((tick, 0, bytes([0xFF, kind]) + varlen(len(data)) + data))

    def program(self, tick, program):
        self.events.append((tick, 1, bytes([0xC0 | self.channel, program])))

    def control(self, tick, number, value):
        self.events.append((tick, 1, bytes([0xB0 | self.channel, number, value])))

    def note(self, tick, length, key, velocity):
        velocity = max(1, min(127, int(velocity)))
        self.events.append((tick, 2, bytes([0x90 | self.channel, key, velocity])))
        self.events.append((tick + max(1, length), 0, bytes([0x80 | self.channel, key, 0])))

    def encode(self):
        body = bytearray()
        now = 0
        for tick, _, data in sorted(self.events, key=lambda e: (e[0], e[1])):
            body += varlen(tick - now) + data
            now = tick
        body += varlen(0) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def write_smf(path, tracks):
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), TPQ))
        for t in tracks:
            f.write(t.encode())


# ---------------------------------------------------------------- arranging


class Tune:
    def __init__(self, title, bpm, beats_per_bar, key_sf, minor, chords, melody, seed):
        assert len(chords) == len(melody), title
        self.title = title
        self.bpm = bpm
        self.beats = beats_per_bar
        self.key = (key_sf, minor)
        self.bars = list(zip(chords, melody))
        self.rng = random.Random(seed)
        self.tracks = []
        conductor = Track(title)
        conductor.meta(0, 0x51, struct.pack(">I", int(60_000_000 / bpm))[1:])
        conductor.meta(0, 0x58, bytes([beats_per_bar, 2, 24, 8]))
        conductor.meta(0, 0x59, struct.pack(">bB", key_sf, 1 if minor else 0))
        self.tracks.append(conductor)

    def bar_tick(self, bar):
        return bar * self.beats * TPQ

    def end_tick(self):
        return self.bar_tick(len(self.bars))

    def part(self, name, channel, program, volume, pan, reverb=50, chorus=0):
        t = Track(name, channel)
        if channel != 9:
            t.program(0, program)
        t.control(0, 7, volume)
        t.control(0, 10, pan)
        t.control(0, 91, reverb)
        t.control(0, 93, chorus)
        self.tracks.append(t)
        return t

    def vel(self, base, spread=6):
        return base + self.rng.randint(-spread, spread)

    def chord_spans(self):
        """Every chord with its start tick and length in ticks."""
        for bar, (chords, _) in enumerate(self.bars):
            tick = self.bar_tick(bar)
            items = parse_chords(chords)
            for c, beats in items:
                length = int((beats if beats is not None else self.beats / len(items)) * TPQ)
                yield bar, tick, length, c
                tick += length

    def melody(self, track, base_velocity, legato=0.92):
        for bar, (_, line) in enumerate(self.bars):
            tick = self.bar_tick(bar)
            notes = parse_bar(line)
            assert abs(sum(b for _, b in notes) - self.beats) < 1e-6, (self.title, bar + 1, line)
            for key, beats in notes:
                length = int(beats * TPQ)
                if key is not None:
                    accent = 8 if tick % (self.beats * TPQ) == 0 else 0
                    track.note(tick, int(length * legato), key, self.vel(base_velocity + accent))
                tick += length

    def pad(self, track, low, high, velocity, bars=None):
        for bar, tick, length, c in self.chord_spans():
            if bars and bar not in bars:
                continue
            for key in voicing(c, low, high):
                track.note(tick, length - 10, key, self.vel(velocity, 3))

    def bass(self, track, low, velocity, style="root-fifth"):
        spans = list(self.chord_spans())
        for i, (bar, tick, length, c) in enumerate(spans):
            root = root_in(c, low)
            if style == "root-fifth" and length >= 4 * TPQ:
                half = length // 2
                track.note(tick, half - 30, root, self.vel(velocity))
                track.note(tick + half, half - 30, fifth_in(c, low), self.vel(velocity - 8))
            else:
                track.note(tick, length - 30, root, self.vel(velocity))

    def broken(self, track, low, velocity, pattern, step):
        """Broken chords: pattern indexes the chord's tones climbing from its root."""
        for bar, tick, length, c in self.chord_spans():
            root, shape = chord(c)
            base = root_in(c, low)
            tones = [base + iv for iv in shape] + [base + 12 + iv for iv in shape]
            steps = [(t, tones[pattern[k % len(pattern)]])
                     for k, t in enumerate(range(tick, tick + length, step))]
            for k, (t, key) in enumerate(steps):
                # Each note rings on, as with the sustain pedal down, until the chord ends
                # or the same string is struck again.
                until = next((u for u, other in steps[k + 1:] if other == key), tick + length)
                accent = 6 if k == 0 else 0
                track.note(t, until - t - 10, key, self.vel(velocity + accent, 4))

    def comp(self, track, low, high, hits, velocity):
        """Chord hits at the given beat offsets of each chord, each held to the next hit."""
        for bar, tick, length, c in self.chord_spans():
            offsets = [int(h * TPQ) for h in hits if h * TPQ < length] + [length]
            for a, b in zip(offsets, offsets[1:]):
                for key in voicing(c, low, high):
                    track.note(tick + a, b - a - 20, key, self.vel(velocity - (6 if a else 0), 4))

    def write(self, folder):
        write_smf(os.path.join(folder, self.title + ".mid"), self.tracks)


# ---------------------------------------------------------------- the tunes


def blue_cards():
    """F major, 4/4, an easy swing-free ballad feel: vibraphone over electric piano."""
    a_chords = ["F", "Dm7", "Bbmaj7", "C7", "F", "Am7", "Bb", "C7"]
    b_chords = ["Dm", "Bb", "Gm7", "C", "Am", "Dm", "Gm7", "C7"]
    a_line = [
        "A4:1.5 G4:.5 F4:1 C5:1",
        "D5:1.5 C5:.5 A4:2",
        "Bb4:1 D5:1 F5:1 D5:.5 C5:.5",
        "C5:3 r:1",
        "A4:1.5 G4:.5 F4:1 A4:1",
        "C5:1.5 E5:.5 G5:1 E5:1",
        "F5:1.5 D5:.5 Bb4:1 D5:1",
        "G4:1 Bb4:1 C5:1 E5:1",
    ]
    b_line = [
        "F5:1.5 E5:.5 D5:1 A4:1",
        "D5:1.5 C5:.5 Bb4:2",
        "Bb4:1 D5:1 F5:1 D5:1",
        "E5:3 r:1",
        "E5:1.5 D5:.5 C5:1 A4:1",
        "F5:1.5 E5:.5 D5:2",
        "D5:1 C5:1 Bb4:1 A4:1",
        "C5:2 Bb4:1 G4:1",
    ]
    a2_line = a_line[:3] + ["E5:1 G5:1 E5:1 C5:1"] + a_line[4:7] + ["Bb4:1.5 A4:.5 G4:1 E4:1"]
    chords = a_chords + b_chords + a_chords + ["F"]
    line = a_line + b_line + a2_line + ["F4:4"]
    tune = Tune("Blue Cards", 80, 4, -1, False, chords, line, "blue cards")
    tune.melody(tune.part("Vibraphone", 0, 11, 100, 72, reverb=60), 78)
    tune.comp(tune.part("Electric piano", 1, 4, 78, 52, reverb=55, chorus=30), 53, 65, [0, 2.5], 52)
    tune.pad(tune.part("Strings", 2, 49, 52, 64, reverb=70), 60, 72, 40)
    tune.bass(tune.part("Bass", 3, 32, 92, 60, reverb=30), 36, 70)
    drums = tune.part("Drums", 9, 0, 62, 64, reverb=40)
    last = len(tune.bars) - 1
    for bar in range(4, last):
        start = tune.bar_tick(bar)
        for eighth in range(8):
            drums.note(start + eighth * TPQ // 2, 60, 42, tune.vel(34 if eighth % 2 == 0 else 24, 4))
        drums.note(start, 120, 36, tune.vel(44, 3))
        drums.note(start + 3 * TPQ, 90, 37, tune.vel(32, 3))
    drums.note(tune.bar_tick(last), 1800, 51, 40)
    return tune


def quiet_stacks():
    """D minor turning to F major, 3/4: flute over a nylon guitar's broken chords."""
    chords = ["Dm", "Dm", "Gm", "Gm", "C", "C", "F", "A7",
              "Dm", "Dm", "Gm", "Gm", "Bb", "A7", "Dm", "Dm",
              "F", "C", "Dm", "Am", "Bb", "F", "Gm", "A7",
              "Dm", "Dm", "Gm", "C", "F", "A7", "A7", "Dm"]
    line = [
        "A4:2 D5:1", "F5:1.5 E5:.5 D5:1", "D5:2 Bb4:1", "G4:3",
        "E5:2 C5:1", "G4:1 C5:1 E5:1", "F5:2 C5:1", "E5:1.5 C#5:.5 A4:1",
        "A4:2 D5:1", "F5:1.5 G5:.5 A5:1", "Bb5:2 G5:1", "D5:3",
        "F5:1.5 D5:.5 Bb4:1", "C#5:1 E5:1 G5:1", "F5:2 E5:1", "D5:3",
        "C5:1 F5:1 A5:1", "G5:2 E5:1", "F5:1.5 E5:.5 D5:1", "C5:2 A4:1",
        "D5:1 F5:1 Bb5:1", "A5:2 F5:1", "G5:1.5 F5:.5 D5:1", "E5:3",
        "A4:2 D5:1", "F5:1.5 E5:.5 D5:1", "Bb4:2 D5:1", "E5:1.5 D5:.5 C5:1",
        "A4:2 C5:1", "C#5:1.5 E5:.5 G5:1", "E5:1 D5:1 C#5:1", "D5:3",
    ]
    tune = Tune("Quiet Stacks", 92, 3, -1, True, chords, line, "quiet stacks")
    tune.melody(tune.part("Flute", 0, 73, 96, 70, reverb=65), 76, legato=0.95)
    tune.broken(tune.part("Guitar", 1, 24, 92, 54, reverb=55), 45, 56, [0, 1, 2, 3, 2, 1], TPQ // 2)
    tune.bass(tune.part("Bass", 2, 32, 84, 62, reverb=30), 33, 64, style="root")
    tune.pad(tune.part("Strings", 3, 48, 46, 76, reverb=75), 57, 69, 36, bars=set(range(16, 32)))
    return tune


def evening_row():
    """G major, 4/4, slow: clarinet over a piano's broken chords and a warm pad."""
    chords = ["G", "Em7", "Cmaj7", "D", "G", "Bm7", "Cmaj7", "D7",
              "Em", "C", "G", "D", "Em", "Am7", "C:2 D:2", "G"]
    line = [
        "D5:1 B4:.5 D5:.5 G5:1.5 F#5:.5",
        "E5:2 D5:1 B4:1",
        "C5:1 E5:1 G5:1 B5:1",
        "A5:3 r:1",
        "B5:1 A5:.5 G5:.5 D5:2",
        "F#5:1 D5:1 B4:1 A4:1",
        "G4:1 C5:1 E5:1.5 D5:.5",
        "D5:2 C5:1 A4:1",
        "B4:1.5 E5:.5 G5:2",
        "E5:1.5 G5:.5 E5:1 C5:1",
        "D5:1.5 B4:.5 G4:1 B4:1",
        "A4:3 r:1",
        "B4:1 E5:1 G5:1 B5:1",
        "A5:1.5 G5:.5 E5:1 C5:1",
        "E5:1 D5:1 F#5:1 A5:1",
        "G5:4",
    ]
    tune = Tune("Evening Row", 72, 4, 1, False, chords, line, "evening row")
    tune.melody(tune.part("Clarinet", 0, 71, 92, 70, reverb=60), 74, legato=0.96)
    tune.broken(tune.part("Piano", 1, 0, 84, 56, reverb=55), 43, 50, [0, 1, 2, 4, 5, 4, 2, 1], TPQ // 2)
    tune.pad(tune.part("Pad", 2, 89, 50, 64, reverb=70), 55, 67, 38)
    tune.bass(tune.part("Bass", 3, 32, 86, 62, reverb=30), 31, 64)
    return tune


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "assets", "music")
    os.makedirs(out_dir, exist_ok=True)
    for make in (blue_cards, quiet_stacks, evening_row):
        tune = make()
        tune.write(out_dir)
        seconds = tune.end_tick() / TPQ * 60.0 / tune.bpm
        print("%-14s %2d bars  %5.1f s  %d tracks" % (tune.title, len(tune.bars), seconds, len(tune.tracks)))


if __name__ == "__main__":
    main()
