#!/usr/bin/python3
"""Makes the start-up picture (startup.jpg) and the window icon (icon.ico).

Run with Debian's Python and Pillow: /usr/bin/python3 resources/make_resources.py
The output is deterministic: no randomness, no time stamps, fixed encoder settings.
"""

import io
import math
import struct
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter

HERE = Path(__file__).resolve().parent

PICTURE_SIZE = (596, 440)
ICON_SIDE = 128
# Shapes are drawn this many times larger and scaled down, for smooth edges.
OVERSAMPLE = 4


def vertical_gradient(size, top, bottom):
    width, height = size
    column = Image.new("RGB", (1, height))
    for y in range(height):
        t = y / max(1, height - 1)
        column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return column.resize(size, Image.Resampling.NEAREST)


def glow(size, centre, radius, colour, blur):
    """A soft coloured disc on black, to be added onto the picture."""
    layer = Image.new("RGB", size)
    draw = ImageDraw.Draw(layer)
    x, y = centre
    draw.ellipse((x - radius, y - radius, x + radius, y + radius), fill=colour)
    return layer.filter(ImageFilter.GaussianBlur(blur))


def startup_picture():
    size = PICTURE_SIZE
    picture = vertical_gradient(size, (6, 12, 34), (1, 2, 8))
    for centre, radius, colour, blur in [
        ((120, 110), 120, (18, 44, 110), 60),
        ((470, 320), 150, (10, 30, 86), 70),
        ((330, 150), 70, (30, 70, 150), 40),
        ((80, 380), 60, (40, 20, 90), 35),
    ]:
        picture = ImageChops.add(picture, glow(size, centre, radius, colour, blur))

    # Thin arcs and a faint capture frame, drawn large and scaled down.
    big = (size[0] * OVERSAMPLE, size[1] * OVERSAMPLE)
    lines = Image.new("RGB", big)
    draw = ImageDraw.Draw(lines)
    s = OVERSAMPLE
    for i, r in enumerate(range(140, 460, 40)):
        shade = 60 - i * 6
        draw.arc(
            ((300 - r) * s, (520 - r) * s, (300 + r) * s, (520 + r) * s),
            200,
            340,
            fill=(shade // 3, shade // 2, shade + 20),
            width=2 * s,
        )
    frame = (196 * s, 132 * s, 400 * s, 292 * s)
    corner = 26 * s
    x0, y0, x1, y1 = frame
    for cx, cy, dx, dy in [(x0, y0, 1, 1), (x1, y0, -1, 1), (x0, y1, 1, -1), (x1, y1, -1, -1)]:
        draw.line((cx, cy, cx + dx * corner, cy), fill=(70, 120, 200), width=3 * s)
        draw.line((cx, cy, cx, cy + dy * corner), fill=(70, 120, 200), width=3 * s)
    for k in range(24):
        a = k * math.tau / 24
        x = 298 + 150 * math.cos(a)
        y = 212 + 90 * math.sin(a)
        draw.ellipse(((x - 1.5) * s, (y - 1.5) * s, (x + 1.5) * s, (y + 1.5) * s),
                     fill=(40, 70, 130))
    lines = lines.resize(size, Image.Resampling.LANCZOS)
    picture = ImageChops.add(picture, lines)
    return picture


def write_jpeg(picture, path):
    out = io.BytesIO()
    # Baseline (not progressive), JFIF, 4:2:0, fixed quality: the same bytes every run.
    picture.save(out, "JPEG", quality=85, optimize=False, progressive=False, subsampling=2,
                 dpi=(96, 96))
    path.write_bytes(out.getvalue())


def icon_picture():
    side = ICON_SIDE * OVERSAMPLE
    s = OVERSAMPLE
    base = vertical_gradient((side, side), (40, 110, 220), (10, 30, 90)).convert("RGBA")
    mask = Image.new("L", (side, side))
    ImageDraw.Draw(mask).rounded_rectangle((4 * s, 4 * s, 124 * s, 124 * s), radius=24 * s,
                                           fill=255)
    base.putalpha(mask)
    draw = ImageDraw.Draw(base)
    # Capture-frame corners and a lens in the middle.
    white = (240, 246, 255, 255)
    m, c, w = 22 * s, 24 * s, 7 * s
    for cx, cy, dx, dy in [(m, m, 1, 1), (side - m, m, -1, 1), (m, side - m, 1, -1),
                           (side - m, side - m, -1, -1)]:
        draw.line((cx, cy + dy * w // 2, cx + dx * c, cy + dy * w // 2), fill=white, width=w)
        draw.line((cx + dx * w // 2, cy, cx + dx * w // 2, cy + dy * c), fill=white, width=w)
    r = 26 * s
    centre = side // 2
    draw.ellipse((centre - r, centre - r, centre + r, centre + r), outline=white, width=7 * s)
    r2 = 12 * s
    draw.ellipse((centre - r2, centre - r2, centre + r2, centre + r2), fill=(120, 200, 255, 255))
    return base.resize((ICON_SIDE, ICON_SIDE), Image.Resampling.LANCZOS)


def write_icon(picture, path):
    """One 32-bit entry as an uncompressed DIB: header with doubled height, BGRA rows
    bottom-up, then the 1-bit AND mask (transparent where alpha is 0)."""
    width, height = picture.size
    rgba = picture.convert("RGBA")
    xor = bytearray()
    for y in reversed(range(height)):
        for x in range(width):
            r, g, b, a = rgba.getpixel((x, y))
            xor += bytes((b, g, r, a))
    mask_stride = ((width + 31) // 32) * 4
    and_mask = bytearray()
    for y in reversed(range(height)):
        row = bytearray(mask_stride)
        for x in range(width):
            if rgba.getpixel((x, y))[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        and_mask += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icon_dir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(image),
                        6 + 16)
    path.write_bytes(icon_dir + entry + image)


def main():
    write_jpeg(startup_picture(), HERE / "startup.jpg")
    write_icon(icon_picture(), HERE / "icon.ico")


if __name__ == "__main__":
    main()
