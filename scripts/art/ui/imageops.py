"""Small picture operations on pngio.Image: compositing, shadows, the button outline."""

from pngio import Image

WHITE = (255, 255, 255, 255)
NEAR_WHITE = (254, 254, 254, 255)

# Every button is a 50 x 50 rounded square with this corner radius. The outline is a hard
# yes/no per pixel (is the pixel's centre inside?), shared by every picture of every button,
# so that a direct repaint of one picture over another never leaves a stray edge pixel.
BUTTON_SIZE = 50
BUTTON_RADIUS = 11.0


def inside_rounded_square(x, y, size=BUTTON_SIZE, radius=BUTTON_RADIUS):
    cx, cy = x + 0.5, y + 0.5
    nx = min(max(cx, radius), size - radius)
    ny = min(max(cy, radius), size - radius)
    return (cx - nx) ** 2 + (cy - ny) ** 2 <= radius * radius


def button_outline(size=BUTTON_SIZE, radius=BUTTON_RADIUS):
    """The set of (x, y) outside the rounded square: the transparent pixels."""
    return {(x, y) for y in range(size) for x in range(size)
            if not inside_rounded_square(x, y, size, radius)}


def over(dst, src, opacity=1.0):
    """Draws `src` over `dst` in place (straight, not premultiplied alpha)."""
    for i, (sr, sg, sb, sa) in enumerate(src.px):
        a = sa * opacity / 255.0
        if a <= 0:
            continue
        dr, dg, db, da = dst.px[i]
        da_f = da / 255.0
        out_a = a + da_f * (1 - a)
        if out_a <= 0:
            continue
        r = (sr * a + dr * da_f * (1 - a)) / out_a
        g = (sg * a + dg * da_f * (1 - a)) / out_a
        b = (sb * a + db * da_f * (1 - a)) / out_a
        dst.px[i] = (int(round(r)), int(round(g)), int(round(b)), int(round(out_a * 255)))
    return dst


def _box_blur_alpha(alpha, w, h):
    out = [0.0] * (w * h)
    for y in range(h):
        for x in range(w):
            total, n = 0.0, 0
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    xx, yy = x + dx, y + dy
                    if 0 <= xx < w and 0 <= yy < h:
                        total += alpha[yy * w + xx]
                    n += 1
            out[y * w + x] = total / n
    return out


def shadow(layer, dx, dy, colour, strength, blur_passes=2):
    """A soft shadow of `layer`'s shape, moved by (dx, dy) whole pixels."""
    w, h = layer.width, layer.height
    alpha = [0.0] * (w * h)
    for y in range(h):
        for x in range(w):
            sx, sy = x - dx, y - dy
            if 0 <= sx < w and 0 <= sy < h:
                alpha[y * w + x] = layer.px[sy * w + sx][3]
    for _ in range(blur_passes):
        alpha = _box_blur_alpha(alpha, w, h)
    out = Image(w, h, (0, 0, 0, 0))
    out.px = [colour + (int(round(min(255, a * strength))),) for a in alpha]
    return out


def map_colours(layer, fn):
    """Applies fn(r, g, b) -> (r, g, b) to every pixel, keeping alpha."""
    out = layer.copy()
    out.px = [fn(r, g, b) + (a,) for (r, g, b, a) in layer.px]
    return out


def greyed(low, high):
    """A colour map to a narrow, dull band of greys: details survive, contrast does not."""
    def fn(r, g, b):
        lum = (0.30 * r + 0.59 * g + 0.11 * b) / 255.0
        v = int(round(low + (high - low) * lum))
        return (v, v, max(0, v - 4))
    return fn


def flatten(img, ground):
    """Drops alpha by drawing onto an opaque ground colour (r, g, b)."""
    base = Image(img.width, img.height, ground + (255,))
    return over(base, img)


def cut_button(img, outline):
    """Makes every outline pixel pure white and keeps pure white out of everything else."""
    out = img.copy()
    for y in range(img.height):
        for x in range(img.width):
            if (x, y) in outline:
                out.put(x, y, WHITE)
            elif img.get(x, y)[:3] == (255, 255, 255):
                out.put(x, y, NEAR_WHITE)
            else:
                r, g, b, _ = img.get(x, y)
                out.put(x, y, (r, g, b, 255))
    return out


def no_pure_white(img):
    out = img.copy()
    out.px = [NEAR_WHITE if p[:3] == (255, 255, 255) else p for p in img.px]
    return out
