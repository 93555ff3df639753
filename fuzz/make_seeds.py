#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora beside this script: tiny BMPs of every kind the
program accepts or refuses, JPEGs of every kind (baseline, progressive, greyscale, CMYK,
4:4:4, with restart markers) and filter texts. Run it again after changing it; the
files it writes are committed, so the fuzz runs need neither this script nor Pillow."""

import io
import pathlib
import shutil
import struct

from PIL import Image

HERE = pathlib.Path(__file__).resolve().parent
PICTURES = HERE / "seeds" / "pictures"
FILTERS = HERE / "seeds" / "filter_lists"


def pattern(mode, width, height):
    image = Image.new("RGB", (width, height))
    image.putdata([((x * 37 + y * 11) & 255, (200 - x * 5) & 255, (y * 29 + 3) & 255)
                   for y in range(height) for x in range(width)])
    return image.convert(mode)


def bmp(width, height, bits, header=40, top_down=False, compression=0, palette=None,
        second=b"M"):
    """An uncompressed BMP written field by field, so that any field can be made wrong."""
    entries = (1 << bits) if bits <= 8 and palette is None else (palette or 0)
    entry_size = 3 if header == 12 else 4
    stride = (width * bits + 31) // 32 * 4
    offset = 14 + header + entries * entry_size
    rows = bytearray()
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            value = (x * 7 + y * 13) & 255
            if bits == 24:
                row[3 * x:3 * x + 3] = bytes((value, 255 - value, x * 40 & 255))
            elif bits == 32:
                row[4 * x:4 * x + 4] = bytes((value, 255 - value, x * 40 & 255, 0))
            elif bits == 16:
                row[2 * x:2 * x + 2] = struct.pack("<H", value * 129)
            elif bits == 8:
                row[x] = value
            elif bits == 4:
                row[x // 2] |= (value & 15) << (0 if x % 2 else 4)
            elif bits == 1:
                row[x // 8] |= (value & 1) << (7 - x % 8)
        rows += row
    out = bytearray(b"B" + second)
    out += struct.pack("<IHHI", offset + len(rows), 0, 0, offset)
    if header == 12:
        out += struct.pack("<IHHHH", 12, width, height, 1, bits)
    else:
        info = struct.pack("<IiiHHIIiiII", header, width, -height if top_down else height, 1,
                           bits, compression, len(rows), 2835, 2835, entries if palette else 0, 0)
        out += info + bytes(header - len(info))
    for i in range(entries):
        colour = bytes(((i * 37) & 255, (i * 91) & 255, 255 - i))
        out += colour + (b"" if entry_size == 3 else b"\0")
    return bytes(out + rows)


def jpeg(image, **options):
    buffer = io.BytesIO()
    image.save(buffer, "JPEG", **options)
    return buffer.getvalue()


def pictures():
    good24 = bmp(5, 3, 24)
    yield "bmp-24-bottom-up.bmp", good24
    yield "bmp-24-top-down.bmp", bmp(5, 3, 24, top_down=True)
    yield "bmp-24-ba.bmp", bmp(3, 2, 24, second=b"A")
    yield "bmp-24-core.bmp", bmp(3, 2, 24, header=12)
    yield "bmp-24-v5.bmp", bmp(3, 2, 24, header=124)
    yield "bmp-32.bmp", bmp(3, 2, 32)
    yield "bmp-8.bmp", bmp(6, 2, 8)
    yield "bmp-8-short-palette.bmp", bmp(6, 2, 8, palette=4)
    yield "bmp-8-core.bmp", bmp(6, 2, 8, header=12)
    yield "bmp-4.bmp", bmp(7, 2, 4)
    yield "bmp-1.bmp", bmp(9, 2, 1)
    yield "bmp-1-top-down.bmp", bmp(9, 2, 1, top_down=True)
    # Refused kinds.
    yield "bmp-16.bmp", bmp(3, 2, 16)
    yield "bmp-rle8.bmp", bmp(4, 2, 8, compression=1)
    yield "bmp-bitfields.bmp", bmp(3, 2, 32, compression=3)
    yield "bmp-truncated.bmp", good24[:-1]
    yield "bmp-offset-inside-headers.bmp", good24[:10] + struct.pack("<I", 20) + good24[14:]
    yield "bmp-offset-past-end.bmp", good24[:10] + struct.pack("<I", 0xFFFFFFFF) + good24[14:]
    yield "bmp-huge.bmp", good24[:18] + struct.pack("<ii", 0x7FFFFFFF, 0x7FFFFFFF) + good24[26:]
    yield "bmp-width-0.bmp", good24[:18] + struct.pack("<i", 0) + good24[22:]

    colour = pattern("RGB", 16, 16)
    yield "jpeg-baseline.jpg", jpeg(colour, quality=80)
    yield "jpeg-baseline-444.jpg", jpeg(colour, quality=80, subsampling=0)
    yield "jpeg-baseline-422.jpg", jpeg(pattern("RGB", 17, 9), quality=80, subsampling=1)
    yield "jpeg-progressive.jpg", jpeg(colour, quality=80, progressive=True)
    yield "jpeg-progressive-444.jpg", jpeg(colour, quality=80, progressive=True, subsampling=0)
    yield "jpeg-optimised.jpg", jpeg(colour, quality=50, optimize=True)
    yield "jpeg-greyscale.jpg", jpeg(pattern("L", 13, 11), quality=80)
    yield "jpeg-greyscale-progressive.jpg", jpeg(pattern("L", 13, 11), progressive=True)
    yield "jpeg-cmyk.jpg", jpeg(pattern("CMYK", 8, 8), quality=80)
    yield "jpeg-restarts.jpg", jpeg(pattern("RGB", 24, 16), quality=80, restart_marker_blocks=1)
    # A progressive header claiming 65500 x 65500 over a few bytes of data.
    yield "jpeg-claims-65500.jpg", bytes.fromhex(
        "ffd8ffdb0043" + "00" + "01" * 64 + "ffc2000b08ffdcffdc01011100"
        + "ffc40014000100000000000000000000000000000000" + "ffda0008010100000000ffd9")


FILTER_TEXTS = [
    "位图文件(*.bmp)|*.bmp|JPEG 文件(*.jpg)|*.jpg",
    "JPEG(*.jpg)|*.jpg||",
    "BMP|*.bmp|\t \r\n",
    "|",
    "||||",
    "   ",
    "a|b|c",
    "only a description",
]


def main():
    for folder in (PICTURES, FILTERS):
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
    for name, data in pictures():
        (PICTURES / name).write_bytes(data)
    for i, text in enumerate(FILTER_TEXTS):
        (FILTERS / f"filter-{i}.txt").write_bytes(text.encode("utf-8"))


if __name__ == "__main__":
    main()
