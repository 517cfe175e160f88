"""Measures shared by the card faces and the numerals, in units of a 100-unit cell."""

# The painted face: its rough square spans about FACE_LO..FACE_HI in both directions, and its
# shadow lies SHADOW units further right and down. The numeral is centred on the face.
FACE_LO = 8.0
FACE_HI = 88.5
SHADOW = 5.0
FACE_CX = (FACE_LO + FACE_HI) / 2
FACE_CY = (FACE_LO + FACE_HI) / 2
