#!/usr/bin/env python3
"""Computes the scrambler's expected outputs with exact rational arithmetic.

Independent of the C++ code: every operation of the x87 unit is done on exact fractions
and rounded to a 64-bit significand (nearest, ties to even); storing the running value
rounds it again to a 53-bit double. Prints the C++ tables that ChiffreVectors.h carries: whole texts, then single steps on
values chosen to lie on the roundings' edges.
Run: python3 chiffre_vectors.py
"""
from fractions import Fraction as F

ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
# Pi with a 64-bit significand, as the x87 unit loads it.
PI = F(0xC90FDAA22168C235, 2 ** 62)


def round_bits(x, bits):
    """x rounded to `bits` significant bits, halves to even (x >= 0, no subnormals here)."""
    if x == 0:
        return x
    e = x.numerator.bit_length() - x.denominator.bit_length()
    if F(2) ** e > x:
        e -= 1
    elif F(2) ** (e + 1) <= x:
        e += 1
    scale = F(2) ** (bits - 1 - e)
    y = x * scale
    n = y.numerator // y.denominator
    rest = y - n
    if rest > F(1, 2) or (rest == F(1, 2) and n % 2 == 1):
        n += 1
    return F(n) / scale


def ext(x):
    return round_bits(x, 64)


def dbl(x):
    return round_bits(x, 53)


def trunc(x):
    return x.numerator // x.denominator  # x >= 0 throughout


def transform(text, k, alphabet=ALPHABET):
    if not text:
        return text
    L = len(alphabet)
    a = dbl(ext(F(abs(k)) / PI))
    out = []
    for ch in text:
        a = dbl(a - trunc(a))
        d = trunc(ext(L * a))
        if k < 0:
            d = -d
        a = dbl(ext(ext(997 * a) + PI))
        j = alphabet.find(ch)
        out.append(alphabet[(j + L + d) % L] if j >= 0 else ch)
    return "".join(out)


CASES = [
    ("0,Mr. Brain", 48213),
    ("12345,Zelvano", 48213),
    ("2147483647,Jörg Müller-Lüdenscheidt", 48213),
    ("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", 48213),
    ("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 48213),
    ("0,Mr. Brain", 1),
    ("0,Mr. Brain", 7),
    ("0,Mr. Brain", 2147482863),
    ("Hello, World! 42", 123456789),
    # |k| / pi rounded to 64 bits lands on the midpoint of two doubles: rounding it once,
    # straight to a double, would give the other neighbour.
    ("0,Mr. Brain", 6145),
    ("0,Mr. Brain", 14563),
]


def cpp(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


# One step at a time, on chosen values: the running value's fractional part in units of 2^-54.
FRACTION_BITS = 54


def amount(m, L):
    return trunc(ext(L * F(m, 2 ** FRACTION_BITS)))


def advance(m):
    a = dbl(ext(997 * F(m, 2 ** FRACTION_BITS) + PI))
    return (a - trunc(a)) * 2 ** FRACTION_BITS


def amount_corners():
    """Products L * a within a rounding of the next whole number: just below it, and exactly
    half a unit of the 64th bit below it with the kept bits odd (rounds up) and even (stays)."""
    # Odd, so every remainder modulo 2^54 can be reached, and big enough that these products
    # have 84 and 85 bits: 20 and 21 of them fall to the rounding.
    L = 1999999999
    inv = pow(L, -1, 2 ** FRACTION_BITS)
    rows = []
    for below in (1, 2 ** 20, 2 ** 20 + 2 ** 21):
        m = (-below * inv) % 2 ** FRACTION_BITS
        rows.append((m, L, amount(m, L)))
    return rows


def advance_corners(count=2):
    """Fractions where 997 * a + pi, rounded to 64 bits, lands on the midpoint of two doubles.
    Searched from a fixed start so the output never changes."""
    rows = []
    m = 0x2A5E3C1B9D7F1
    while len(rows) < count:
        m = (m * 6364136223846793005 + 1442695040888963407) % 2 ** FRACTION_BITS
        x = 997 * F(m, 2 ** FRACTION_BITS) + PI
        if dbl(ext(x)) != dbl(x):
            rows.append((m, advance(m)))
    return rows


if __name__ == "__main__":
    for text, key in CASES:
        enc = transform(text, key)
        assert transform(enc, -key) == text
        print(f"    {{{cpp(text)}, {key}, {cpp(enc)}}},")
    print()
    for m, L, d in amount_corners():
        print(f"    {{0x{m:x}u, {L}, {d}}},")
    print()
    for m, nxt in advance_corners():
        print(f"    {{0x{m:x}u, 0x{int(nxt):x}u}},")
