#!/usr/bin/env python3
"""Makes the corpus of broken picture files under broken/ (deterministic: same bytes every run).

Each file's name starts with the error the loader must give for it:
  notapicture-*  ErrorCode::NotAPicture     (empty, unknown signature)
  toolarge-*     ErrorCode::PictureTooLarge  (announced size over the limits)
  corrupt-*      ErrorCode::CorruptPicture   (truncated, inconsistent or unsupported)
tests/unit/picture_loader_test.cpp walks the folder and checks every file. Most files are cut
from or edited in the valid pictures under pictures/ (made by make-pictures.sh), so run that
first. Inputs found by fuzzing are added by hand as corrupt-fuzz-*; this script leaves them be.
The outputs are committed; run this again only to change them.
"""
import os
import random
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
PICTURES = os.path.join(HERE, 'pictures')
PNG_PICTURES = os.path.join(HERE, 'png')  # made by make-png-pictures.py
BROKEN = os.path.join(HERE, 'broken')


def picture(name):
    with open(os.path.join(PICTURES, name), 'rb') as f:
        return bytearray(f.read())


made = []


def write(name, data):
    with open(os.path.join(BROKEN, name), 'wb') as f:
        f.write(bytes(data))
    made.append(name)


# ---- GIF helpers ------------------------------------------------------------------------------

def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return out + b'\0'


def lzw_stream(code_size, codes):
    """Packs codes LSB first with the code width stb's GIF reader uses at each point."""
    clear = 1 << code_size
    width = code_size + 1
    avail = clear + 2
    old = -1
    bits = 0
    nbits = 0
    out = bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
        # follow the decoder's state
        if code == clear:
            width = code_size + 1
            avail = clear + 2
            old = -1
        elif code == clear + 1:
            break
        else:
            if old >= 0:
                avail += 1
            if (avail & ((1 << width) - 1)) == 0 and avail <= 0x0FFF:
                width += 1
            old = code
    if nbits:
        out.append(bits & 0xFF)
    return out


def gif(width, height, palette_bits=1, frame=None, code_size=2, raster=None, local_table=False,
        global_table=True, trailer=True):
    colours = 2 << (palette_bits - 1) if palette_bits else 0
    flags = (0x80 | (palette_bits - 1)) if global_table else 0
    out = bytearray(b'GIF89a')
    out += struct.pack('<HHBBB', width, height, flags, 0, 0)
    if global_table:
        out += bytes((i * 40) % 256 for i in range(3 * colours))
    fx, fy, fw, fh = frame if frame else (0, 0, width, height)
    local_flags = (0x80 | (palette_bits - 1)) if local_table else 0
    out += b'\x2c' + struct.pack('<HHHHB', fx, fy, fw, fh, local_flags)
    if local_table:
        out += bytes(3 * colours)
    out += bytes([code_size])
    out += sub_blocks(raster if raster is not None else b'')
    if trailer:
        out += b'\x3b'
    return out


# ---- JPEG helpers -----------------------------------------------------------------------------

def jpeg_segments(data):
    """(marker, offset of the marker's 0xFF, offset past the segment) up to the first SOS."""
    pos = 2
    out = []
    while pos < len(data):
        assert data[pos] == 0xFF, pos
        marker = data[pos + 1]
        length, = struct.unpack_from('>H', data, pos + 2)
        out.append((marker, pos, pos + 2 + length))
        if marker == 0xDA:
            break
        pos += 2 + length
    return out


def segment(data, wanted):
    for marker, start, end in jpeg_segments(data):
        if marker == wanted:
            return start, end
    raise KeyError(hex(wanted))


# ---- PNG helpers ------------------------------------------------------------------------------

PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'


def png_chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, depth=8, colour_type=2, data=None, before_data=b'', end=True):
    """A PNG with the given header; `data` is deflated as the one IDAT (default: zero rows)."""
    if data is None:
        channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}.get(colour_type, 3)
        data = bytes(height * (1 + (width * channels * depth + 7) // 8))
    out = PNG_SIGNATURE + png_chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth, colour_type, 0, 0, 0))
    out += before_data + png_chunk(b'IDAT', zlib.compress(data))
    return out + (png_chunk(b'IEND', b'') if end else b'')


def main():
    os.makedirs(BROKEN, exist_ok=True)
    for name in os.listdir(BROKEN):
        if not name.startswith('corrupt-fuzz-'):
            os.remove(os.path.join(BROKEN, name))
    rng = random.Random(20240611)

    # ---- not pictures
    write('notapicture-empty.bin', b'')
    noise = bytearray(rng.randrange(256) for _ in range(1024))
    noise[0] = 0x00  # no signature can start with 0
    write('notapicture-random.bin', noise)
    write('notapicture-text.txt', b'This is not a picture.\n')
    write('notapicture-gif88a.gif', b'GIF88a' + bytes(32))
    write('notapicture-jpeg-two-bytes.jpg', b'\xff\xd8')
    write('notapicture-b.bmp', b'B')

    # ---- GIF
    transparent = picture('gif-transparent.gif')
    interlaced = picture('gif-interlaced.gif')
    write('corrupt-gif-signature-only.gif', b'GIF89a')
    write('corrupt-gif-cut-in-header.gif', transparent[:10])
    write('corrupt-gif-cut-in-palette.gif', transparent[:20])
    write('corrupt-gif-cut-in-image-data.gif', transparent[:len(transparent) * 3 // 4])
    write('corrupt-gif-cut-before-block-end.gif', transparent[:len(transparent) - 2])
    write('corrupt-gif-interlaced-cut.gif', interlaced[:len(interlaced) - 40])
    write('toolarge-gif-20000x10.gif', gif(20000, 10, raster=lzw_stream(2, [4, 0, 5])))
    write('toolarge-gif-10000x10000.gif', gif(10000, 10000, raster=lzw_stream(2, [4, 0, 5])))
    write('toolarge-gif-65535x65535-header-only.gif', b'GIF89a\xff\xff\xff\xff\x00\x00\x00')
    write('corrupt-gif-0x0.gif', gif(0, 0, raster=lzw_stream(2, [4, 5])))
    write('corrupt-gif-lzw-code-size-13.gif', gif(4, 4, code_size=13, raster=b'\x00\x00'))
    write('corrupt-gif-lzw-code-size-0.gif', gif(4, 4, code_size=0, raster=b'\x01\x00'))
    # Codes start one bit wider than the code size, and none may be wider than 12 bits.
    write('corrupt-gif-lzw-code-size-12.gif', gif(4, 4, code_size=12, raster=lzw_stream(12, [4096, 0, 4097])))
    write('corrupt-gif-first-code-not-a-colour.gif', gif(4, 4, raster=lzw_stream(2, [4, 6, 5])))
    write('corrupt-gif-code-past-table.gif', gif(4, 4, raster=lzw_stream(2, [4, 0, 7, 5])))
    write('corrupt-gif-no-colour-table.gif', gif(4, 4, global_table=False, raster=lzw_stream(2, [4, 0, 5])))
    write('corrupt-gif-no-image.gif', b'GIF89a' + struct.pack('<HHBBB', 4, 4, 0x80, 0, 0) + bytes(6) + b'\x3b')
    write('corrupt-gif-unknown-block.gif', b'GIF89a' + struct.pack('<HHBBB', 4, 4, 0x80, 0, 0) + bytes(6) + b'\x99')
    write('corrupt-gif-extension-cut.gif',
          b'GIF89a' + struct.pack('<HHBBB', 4, 4, 0x80, 0, 0) + bytes(6) + b'\x21\xfe\x20abc')
    # An image of 65535 x 65535 pixels on a 4 x 4 screen: its pixels bound the decoding work.
    write('toolarge-gif-image-65535x65535.gif', gif(4, 4, frame=(0, 0, 65535, 65535), raster=lzw_stream(2, [4, 0, 5])))

    # ---- JPEG
    baseline = picture('jpeg-baseline.jpg')
    progressive = picture('jpeg-progressive.jpg')
    write('corrupt-jpeg-soi-only.jpg', b'\xff\xd8\xff')
    write('corrupt-jpeg-cut-in-header.jpg', baseline[:40])
    sof_start, sof_end = segment(baseline, 0xC0)
    write('corrupt-jpeg-cut-in-frame-header.jpg', baseline[:sof_start + 6])
    write('corrupt-jpeg-cut-in-image-data.jpg', baseline[:len(baseline) * 3 // 4])
    write('corrupt-jpeg-no-end-marker.jpg', baseline[:-2])
    write('corrupt-jpeg-progressive-cut.jpg', progressive[:len(progressive) // 2])
    sos_start, _ = segment(baseline, 0xDA)
    write('corrupt-jpeg-no-scan.jpg', baseline[:sos_start] + b'\xff\xd9')
    for (w, h, name) in ((20000, 10, '20000x10'), (10000, 10000, '10000x10000')):
        big = bytearray(progressive)
        start, _ = segment(big, 0xC2)
        struct.pack_into('>HH', big, start + 5, h, w)
        write('toolarge-jpeg-%s.jpg' % name, big)
    zero = bytearray(baseline)
    struct.pack_into('>H', zero, sof_start + 5, 0)
    write('corrupt-jpeg-height-zero.jpg', zero)
    arithmetic = bytearray(baseline)
    arithmetic[sof_start + 1] = 0xC9
    write('corrupt-jpeg-arithmetic-coding.jpg', arithmetic)
    twelve = bytearray(baseline)
    twelve[sof_start + 4] = 12
    write('corrupt-jpeg-12-bit.jpg', twelve)
    sampling = bytearray(progressive)
    start, _ = segment(sampling, 0xC2)
    sampling[start + 11] = 0x41  # component 1: 4x1
    sampling[start + 14] = 0x31  # component 2: 3x1, which does not divide 4
    write('corrupt-jpeg-fractional-sampling.jpg', sampling)
    components = bytearray(baseline)
    components[sof_start + 9] = 2
    write('corrupt-jpeg-two-components.jpg', components)
    # A Huffman table announcing 16 x 255 symbols: this stb would write past its arrays.
    dht_start, dht_end = segment(baseline, 0xC4)
    table = bytes([0x00]) + bytes([255] * 16) + bytes(range(256)) * 16
    huge_dht = b'\xff\xc4' + struct.pack('>H', 2 + len(table)) + table
    write('corrupt-jpeg-huffman-table-overflow.jpg', baseline[:dht_start] + huge_dht + baseline[dht_start:])
    # Scan before the frame header.
    write('corrupt-jpeg-scan-before-frame.jpg',
          baseline[:sof_start] + baseline[sos_start:sos_start + 14] + baseline[sof_start:])
    bad_length = bytearray(baseline)
    struct.pack_into('>H', bad_length, dht_start + 2, 1)
    write('corrupt-jpeg-segment-length-1.jpg', bad_length)
    # Thousands of scans: the progressive picture's last scan repeated.
    last_scan = progressive.rindex(b'\xff\xda')
    scan = progressive[last_scan:-2]
    write('corrupt-jpeg-2000-scans.jpg', progressive[:-2] + scan * 2000 + b'\xff\xd9')

    # ---- Windows bitmaps
    bmp8 = picture('bmp-8bit.bmp')
    bmp24 = picture('bmp-24bit.bmp')
    bmp32 = picture('bmp-32bit-alpha.bmp')
    write('corrupt-bmp-cut-in-file-header.bmp', bmp24[:10])
    write('corrupt-bmp-cut-in-info-header.bmp', bmp24[:30])
    write('corrupt-bmp-cut-in-palette.bmp', bmp8[:300])
    write('corrupt-bmp-cut-in-pixels.bmp', bmp24[:len(bmp24) - 40])
    write('corrupt-bmp-last-byte-missing.bmp', bmp24[:-1])
    write('corrupt-bmp-32bit-cut.bmp', bmp32[:len(bmp32) - 4])

    def edited(base, offset, fmt, *values):
        data = bytearray(base)
        struct.pack_into(fmt, data, offset, *values)
        return data

    header_only = edited(bmp24[:54], 2, '<I', 54)
    write('toolarge-bmp-20000x10.bmp', edited(header_only, 18, '<ii', 20000, 10))
    write('toolarge-bmp-10000x10000.bmp', edited(header_only, 18, '<ii', 10000, 10000))
    write('toolarge-bmp-10000x-10000-top-down.bmp', edited(header_only, 18, '<ii', 10000, -10000))
    write('toolarge-bmp-height-int-min.bmp', edited(header_only, 18, '<ii', 7, -2 ** 31))
    write('corrupt-bmp-width-negative.bmp', edited(bmp24, 18, '<i', -7))
    write('corrupt-bmp-width-zero.bmp', edited(bmp24, 18, '<i', 0))
    write('corrupt-bmp-height-zero.bmp', edited(bmp24, 22, '<i', 0))
    write('corrupt-bmp-offset-huge.bmp', edited(bmp24, 10, '<I', 0xFFFFFFF0))
    write('corrupt-bmp-offset-past-end.bmp', edited(bmp24, 10, '<I', len(bmp24) + 1))
    write('corrupt-bmp-offset-zero.bmp', edited(bmp24, 10, '<I', 0))
    write('corrupt-bmp-offset-in-header.bmp', edited(bmp8, 10, '<I', 30))
    write('corrupt-bmp-header-size-41.bmp', edited(bmp24, 14, '<I', 41))
    write('corrupt-bmp-header-size-huge.bmp', edited(bmp24, 14, '<I', 0x7FFFFFFF))
    write('corrupt-bmp-2-bits.bmp', edited(bmp8, 28, '<H', 2))
    write('corrupt-bmp-0-bits.bmp', edited(bmp24, 28, '<H', 0))
    write('corrupt-bmp-planes-2.bmp', edited(bmp24, 26, '<H', 2))
    write('corrupt-bmp-compression-jpeg.bmp', edited(bmp24, 30, '<I', 4))
    write('corrupt-bmp-compression-99.bmp', edited(bmp24, 30, '<I', 99))
    write('corrupt-bmp-bitfields-24bit.bmp', edited(bmp24, 30, '<I', 3))
    # 32-bit bitfields with all-zero colour masks (stb: "bad masks").
    masks = bytearray(bmp32)
    struct.pack_into('<IIII', masks, 54, 0, 0, 0, 0)
    write('corrupt-bmp-bitfields-zero-masks.bmp', masks)
    # Pixels using a colour the palette lacks: 8 bits per pixel with a two-colour palette.
    short = bytearray(bmp8[:54]) + bytes([0, 0, 0, 0, 255, 255, 255, 0])
    struct.pack_into('<I', short, 10, 54 + 8)
    struct.pack_into('<I', short, 46, 2)
    short += bytes([1, 0, 200, 1, 0, 1, 0, 0]) * 5
    struct.pack_into('<I', short, 2, len(short))
    write('corrupt-bmp-index-past-palette.bmp', short)
    # Palette sizes stb computes as 0 and as more than 256.
    write('corrupt-bmp-no-palette-8bit.bmp', edited(bmp8[:54] + bmp8[1078:], 10, '<I', 54))
    # RLE: cut short, random data, and each way a run or a delta can leave the picture.
    rle = picture('bmp-8bit-rle.bmp')
    write('corrupt-bmp-rle8-cut.bmp', rle[:len(rle) - 30])
    garbage = bytearray(rle[:1078]) + bytes(rng.randrange(256) for _ in range(200))
    write('corrupt-bmp-rle8-garbage.bmp', garbage)
    write('corrupt-bmp-rle4-garbage.bmp', edited(edited(garbage, 28, '<H', 4), 30, '<I', 2))
    rle_header = rle[:1078]  # 7 x 5 pixels, 8 bits each: rows of 8 stored pixels

    def rle8(data):
        return edited(rle_header + data, 2, '<I', 1078 + len(data))

    write('corrupt-bmp-rle8-run-past-row.bmp', rle8(b'\x09\x01\x00\x01'))
    write('corrupt-bmp-rle8-absolute-past-row.bmp', rle8(b'\x02\x01\x00\x07' + bytes(8) + b'\x00\x01'))
    write('corrupt-bmp-rle8-run-past-picture.bmp', rle8(b'\x00\x00' * 5 + b'\x01\x01\x00\x01'))
    write('corrupt-bmp-rle8-line-past-picture.bmp', rle8(b'\x00\x00' * 6 + b'\x00\x01'))
    write('corrupt-bmp-rle8-delta-past-row.bmp', rle8(b'\x00\x02\x09\x00\x00\x01'))
    write('corrupt-bmp-rle8-delta-past-picture.bmp', rle8(b'\x00\x02\x00\x06\x00\x01'))
    write('corrupt-bmp-rle8-absolute-cut.bmp', rle8(b'\x00\x05\x01\x02'))
    write('corrupt-bmp-rle8-no-end.bmp', rle8(b'\x07\x01\x00\x00'))
    write('corrupt-bmp-rle8-top-down.bmp', edited(rle, 22, '<i', -5))
    write('corrupt-bmp-rle4-8-bits.bmp', edited(rle, 30, '<I', 2))

    # Random damage in the middle of each kind of file (only kinds that always stay errors).
    write('corrupt-gif-random-tail.gif',
          transparent[:30] + bytes(rng.randrange(256) for _ in range(64)))
    # ---- PNG
    with open(os.path.join(PNG_PICTURES, 'png-rgb-8.png'), 'rb') as f:
        rgb = bytearray(f.read())  # 13 x 11, one IDAT chunk
    idat = rgb.index(b'IDAT') - 4
    (idat_length,) = struct.unpack_from('>I', rgb, idat)
    write('corrupt-png-zeros-after-signature.png', PNG_SIGNATURE + bytes(64))
    write('corrupt-png-cut-in-header.png', rgb[:20])
    write('corrupt-png-cut-in-image-data.png', rgb[:idat + 8 + idat_length // 2])
    write('corrupt-png-no-end-chunk.png', rgb[:-12])
    header_crc = bytearray(rgb)
    header_crc[29] ^= 0xFF
    write('corrupt-png-header-checksum.png', header_crc)
    data_crc = bytearray(rgb)
    data_crc[idat + 8 + idat_length // 2] ^= 0x55
    write('corrupt-png-image-data-checksum.png', data_crc)
    write('toolarge-png-20000x10.png', png(20000, 10, end=False)[:33])
    write('toolarge-png-10000x10000.png', png(10000, 10000, end=False)[:33])
    write('toolarge-png-2147483647x1.png', png(2 ** 31 - 1, 1, end=False)[:33])
    write('corrupt-png-0x0.png', png(0, 0, data=b''))
    write('corrupt-png-width-past-2-to-the-31.png', png(2 ** 31, 1, end=False)[:33])
    write('corrupt-png-rgb-4-bits.png', png(4, 4, depth=4, colour_type=2))
    write('corrupt-png-colour-type-5.png', png(4, 4, colour_type=5))
    write('corrupt-png-interlace-2.png', PNG_SIGNATURE +
          png_chunk(b'IHDR', struct.pack('>IIBBBBB', 4, 4, 8, 2, 0, 0, 2)) + png_chunk(b'IEND', b''))
    write('corrupt-png-palette-missing.png', png(4, 4, colour_type=3))
    write('corrupt-png-index-past-palette.png',
          png(2, 1, colour_type=3, data=b'\x00\x00\x02', before_data=png_chunk(b'PLTE', bytes(6))))
    write('corrupt-png-row-filter-5.png', png(2, 2, colour_type=0, data=b'\x00\x01\x02\x05\x03\x04'))
    write('corrupt-png-image-data-short.png', png(4, 4, data=bytes(4 * 13 - 1)))
    write('corrupt-png-image-data-long.png', png(4, 4, data=bytes(4 * 13 + 1)))
    header_4x4 = PNG_SIGNATURE + png_chunk(b'IHDR', struct.pack('>IIBBBBB', 4, 4, 8, 2, 0, 0, 0))
    # 16 x 16 RGB takes 784 bytes of filtered rows; this stream inflates to 20 MB of them.
    write('corrupt-png-image-data-bomb.png', png(16, 16, data=bytes(20 * 1024 * 1024)))
    write('corrupt-png-image-data-not-zlib.png', header_4x4 + png_chunk(b'IDAT', bytes(20)) + png_chunk(b'IEND', b''))
    write('corrupt-png-no-image-data.png', header_4x4 + png_chunk(b'IEND', b''))
    write('corrupt-png-unknown-critical-chunk.png', png(4, 4, before_data=png_chunk(b'ABCD', b'x')))
    write('corrupt-png-image-data-split.png',
          png(4, 4, end=False) + png_chunk(b'tEXt', b'a\0b') + png_chunk(b'IDAT', b'') + png_chunk(b'IEND', b''))
    print('made %d files in %s' % (len(made), BROKEN))


if __name__ == '__main__':
    sys.exit(main())
