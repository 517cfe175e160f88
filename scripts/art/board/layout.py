"""Measures shared by the card faces and the numerals, in units of a 100-unit cell."""

# The painted face: its rough square spans about FACE_LO..FACE_HI across and FACE_LO..
# FACE_BOTTOM down, and its shadow lies SHADOW units further right and down. The numeral is
# centred on the face.
FACE_LO = 8.0
FACE_HI = 88.5
FACE_BOTTOM = 78.5
SHADOW = 5.0
FACE_CX = (FACE_LO + FACE_HI) / 2
FACE_CY = (FACE_LO + FACE_BOTTOM) / 2

# The band of colour marks along the bottom of a card. A stack shows each covered card only
# by its bottom 12 % (0.018 of the board unit against a card of 0.15), so the band lies in
# the bottom 11.5 units, clear of the one-pixel frame: every stripe carries the marks.
BAND_TOP = 88.8
BAND_BOTTOM = 97.6
