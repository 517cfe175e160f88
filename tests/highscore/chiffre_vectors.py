#!/usr/bin/env python3
"""Computes the scrambler's expected outputs with exact rational arithmetic.

Independent of the C++ code: every operation of the x87 unit is done on exact fractions
and rounded to a 64-bit significand (nearest, ties to even); storing the running value
rounds it again to a 53-bit double. Prints the C++ table that ChiffreTest.cpp carries.
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
]


def cpp(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


if __name__ == "__main__":
    for text, key in CASES:
        enc = transform(text, key)
        assert transform(enc, -key) == text
        print(f"    {{{cpp(text)}, {key}, {cpp(enc)}}},")
