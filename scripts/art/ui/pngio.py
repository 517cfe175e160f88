"""Reading and writing of plain PNG files with nothing but the standard library.

Pictures are handled as `Image`: width, height and a flat list of (r, g, b, a) tuples in
rows from the top. Reading covers what our tools produce (8-bit grey, RGB, RGBA, grey with
alpha, any filter, no interlace); writing gives 8-bit RGB or RGBA.
"""

import struct
import zlib


class Image:
    def __init__(self, width, height, fill=(0, 0, 0, 255)):
        self.width = width
        self.height = height
        self.px = [fill] * (width * height)

    def get(self, x, y):
        return self.px[y * self.width + x]

    def put(self, x, y, rgba):
        self.px[y * self.width + x] = rgba

    def copy(self):
        out = Image(self.width, self.height)
        out.px = list(self.px)
        return out


def _chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def write_png(path, img, alpha=False):
    """Writes `img` as 8-bit RGB (alpha dropped) or, with alpha=True, RGBA."""
    channels = 4 if alpha else 3
    raw = bytearray()
    for y in range(img.height):
        raw.append(0)  # filter type none: the files are tiny, clarity wins
        row = img.px[y * img.width:(y + 1) * img.width]
        for p in row:
            raw.extend(p[:channels])
    header = struct.pack(">IIBBBBB", img.width, img.height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(_chunk(b"IHDR", header))
        f.write(_chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(_chunk(b"IEND", b""))


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png_info(path):
    """Returns (width, height, bit depth, colour type) from the header."""
    with open(path, "rb") as f:
        data = f.read(33)
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise ValueError(f"{path}: not a PNG file")
    return struct.unpack(">IIBB", data[16:26])


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos, idat, header = 8, bytearray(), None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.extend(body)
        elif kind == b"IEND":
            break
    width, height, depth, ctype, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(ctype)
    if depth != 8 or channels is None or interlace:
        raise ValueError(f"{path}: unsupported PNG (depth {depth}, type {ctype})")
    raw = zlib.decompress(bytes(idat))
    stride = width * channels
    prev = bytearray(stride)
    img = Image(width, height)
    pos = 0
    for y in range(height):
        ftype = raw[pos]
        line = bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 255
            elif ftype == 4:
                line[i] = (line[i] + _paeth(a, b, c)) & 255
        for x in range(width):
            p = line[x * channels:(x + 1) * channels]
            if channels == 1:
                px = (p[0], p[0], p[0], 255)
            elif channels == 2:
                px = (p[0], p[0], p[0], p[1])
            elif channels == 3:
                px = (p[0], p[1], p[2], 255)
            else:
                px = tuple(p)
            img.px[y * width + x] = px
        prev = line
    return img
