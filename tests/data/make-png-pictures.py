#!/usr/bin/env python3
# Makes the PNG test pictures under png/: one small file for every colour type, legal bit depth
# and interlacing, with and without tRNS where the type takes one. The build compares the loader's
# decoding of each with ImageMagick's (imagemagick-reference.sh). The outputs are committed; run
# this again only to change them.
#
#   make-png-pictures.py
# The files are written here rather than with convert, which picks its own colour type and depth
# whatever it is asked; their rows cycle through all five filters and interlaced files split their
# data over several IDAT chunks. Two files convert writes itself, with the ancillary chunks it
# adds (gamma, chromaticities, background, time, text), come with them. Each file's header is
# read back to check that it has the type, depth, interlacing and transparency its name says.
import os
import struct
import subprocess
import zlib

CONVERT = "/usr/bin/convert"  # /usr/local/bin may hold a stand-in; use the real program
WIDTH, HEIGHT = 13, 11        # odd sides, so Adam7's passes have partial blocks
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def pack_row(samples, depth):
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    if depth == 8:
        return bytes(samples)
    out, acc, bits = bytearray(), 0, 0
    for s in samples:
        acc = (acc << depth) | s
        bits += depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def filter_row(kind, row, prior, step):
    out = bytearray()
    for i, v in enumerate(row):
        left = row[i - step] if i >= step else 0
        up = prior[i] if prior else 0
        up_left = prior[i - step] if prior and i >= step else 0
        predictor = [0, left, up, (left + up) // 2, paeth(left, up, up_left)][kind]
        out.append((v - predictor) & 0xFF)
    return bytes([kind]) + bytes(out)


def encode(pixels, width, height, colour_type, depth, interlaced):
    """Filtered, deflated image data; pixels[y][x] is a tuple of samples."""
    step = max(1, CHANNELS[colour_type] * depth // 8)
    passes = ADAM7 if interlaced else [(0, 0, 1, 1)]
    raw, row_number = bytearray(), 0
    for x0, y0, dx, dy in passes:
        prior = None
        for y in range(y0, height, dy):
            columns = range(x0, width, dx)
            if not columns:
                break
            row = pack_row([s for x in columns for s in pixels[y][x]], depth)
            raw += filter_row(row_number % 5, row, prior, step)
            prior, row_number = row, row_number + 1
    return zlib.compress(bytes(raw), 9)


def write_png(path, pixels, width, height, colour_type, depth, interlaced, palette=None, trns=None):
    data = encode(pixels, width, height, colour_type, depth, interlaced)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0,
                                                            1 if interlaced else 0))
    if palette:
        out += chunk(b"PLTE", b"".join(bytes(entry) for entry in palette))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    parts = [data[i:i + 40] for i in range(0, len(data), 40)] if interlaced else [data]
    for part in parts:
        out += chunk(b"IDAT", part)
    out += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(out)


def sample(x, y, channel, depth):
    """A pattern that takes many levels, rounding-sensitive ones at 16 bits."""
    top = (1 << depth) - 1
    if depth == 16:
        return (x * 5003 + y * 311 + x * y * 7919 + channel * 21011) % 65536
    return (x * 7 + y * 3 + x * y * 5 + channel * 11) % (top + 1)


def alpha(x, y, depth):
    top = (1 << depth) - 1
    if (x + 2 * y) % 5 == 0:
        return 0
    if (3 * x + y) % 7 == 1:
        return (x * 4099 + y * 977) % (top + 1)  # partly transparent
    return top


def make(out, name, colour_type, depth, interlaced, with_trns):
    pixels, palette, trns = [], None, None
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            if colour_type == 0:
                row.append((sample(x, y, 0, depth),))
            elif colour_type == 2:
                row.append(tuple(sample(x, y, c, depth) for c in range(3)))
            elif colour_type == 3:
                row.append(((x * 3 + y * 5 + x * y) % (1 << depth),))
            elif colour_type == 4:
                row.append((sample(x, y, 0, depth), alpha(x, y, depth)))
            else:
                row.append(tuple(sample(x, y, c, depth) for c in range(3)) + (alpha(x, y, depth),))
        pixels.append(row)
    if colour_type == 3:
        entries = 1 << depth
        palette = [((i * 37 + 11) % 256, (i * 91 + 40) % 256, (255 - i * 13) % 256) for i in range(entries)]
        if with_trns:
            # Alphas for all but the last entries, which stay opaque: 0, partial and 255.
            trns = bytes([0, 128, 255, 60][i % 4] for i in range(max(1, entries - 1)))
    elif with_trns:
        key = pixels[1][2]  # a colour that some pixels have, named transparent
        trns = b"".join(struct.pack(">H", s) for s in key)
    path = os.path.join(out, name)
    write_png(path, pixels, WIDTH, HEIGHT, colour_type, depth, interlaced, palette, trns)
    return path


def header(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[12:16] != b"IHDR":
        raise SystemExit(path + ": no header chunk")
    width, height, depth, colour_type, _, _, interlace = struct.unpack(">IIBBBBB", data[16:29])
    kinds, pos = [], 8
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kinds.append(data[pos + 4:pos + 8])
        pos += 12 + length
    return colour_type, depth, interlace, kinds


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "png")
    os.makedirs(out, exist_ok=True)
    depths = {0: [1, 2, 4, 8, 16], 2: [8, 16], 3: [1, 2, 4, 8], 4: [8, 16], 6: [8, 16]}
    type_names = {0: "grey", 2: "rgb", 3: "palette", 4: "greyalpha", 6: "rgba"}
    files = []
    for colour_type, type_depths in depths.items():
        for depth in type_depths:
            for interlaced in (False, True):
                for with_trns in (False, True) if colour_type in (0, 2, 3) else (False,):
                    name = "png-%s-%d%s%s.png" % (type_names[colour_type], depth, "-trns" if with_trns else "",
                                                   "-adam7" if interlaced else "")
                    path = make(out, name, colour_type, depth, interlaced, with_trns)
                    files.append((path, colour_type, depth, interlaced, with_trns))
    # Written by convert itself, with its ancillary chunks, from two of the files above.
    for source, name, options, colour_type, depth in (
            ("png-rgba-16.png", "png-imagemagick-rgba-16.png", ["-define", "png:color-type=6", "-depth", "16"], 6, 16),
            ("png-palette-4.png", "png-imagemagick-palette.png", ["-define", "png:color-type=3"], 3, None)):
        path = os.path.join(out, name)
        subprocess.run([CONVERT, os.path.join(out, source)] + options + [path], check=True)
        files.append((path, colour_type, depth, False, None))
    for path, colour_type, depth, interlaced, with_trns in files:
        got_type, got_depth, got_interlace, kinds = header(path)
        if got_type != colour_type or (depth and got_depth != depth) or got_interlace != int(interlaced) or \
                (with_trns is not None and (b"tRNS" in kinds) != with_trns):
            raise SystemExit("%s: colour type %d, depth %d, interlace %d, chunks %s" %
                             (path, got_type, got_depth, got_interlace, kinds))


if __name__ == "__main__":
    main()
