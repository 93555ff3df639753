"""The pixels e2e_target.exe draws, as target.cpp defines them."""

from __future__ import annotations

from PIL import Image


def window_pixel(x: int, y: int) -> tuple[int, int, int]:
    return (x * 7 % 256, y * 5 % 256, 200)


def child_pixel(x: int, y: int) -> tuple[int, int, int]:
    return (40, x * 3 % 256, y * 11 % 256)


def picture(width: int, height: int, pixel, child=None) -> Image.Image:
    """The window's picture; child = (left, top, width, height) drawn with child_pixel."""
    image = Image.new("RGB", (width, height))
    image.putdata([pixel(x, y) for y in range(height) for x in range(width)])
    if child:
        left, top, w, h = child
        image.paste(picture(w, h, child_pixel), (left, top))
    return image
