// Decoding Windows bitmaps ourselves: OS/2 and Windows headers of every version, 1 to 32 bits per
// pixel, colour masks and RLE4/RLE8. The header, the palette and the size are checked before a
// pixel is decoded, and every row, run and delta is bounded by the picture.
#include <algorithm>
#include <array>

#include "byte_reader.h"
#include "picture_decoding.h"

namespace tess::decoding {

namespace {

constexpr const char* kBmp = "bitmap";

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3 };

struct Channel {
    uint32_t mask = 0;
    int shift = 0;  // of the mask's lowest bit
    int bits = 0;   // the mask's width

    static std::optional<Channel> Of(uint32_t mask) {
        if (mask == 0)
            return std::nullopt;
        Channel c{mask, 0, 0};
        while (!((mask >> c.shift) & 1))
            ++c.shift;
        while (c.shift + c.bits < 32 && ((mask >> (c.shift + c.bits)) & 1))
            ++c.bits;
        if (c.shift + c.bits < 32 && (mask >> (c.shift + c.bits)) != 0)
            return std::nullopt;  // not one run of bits
        return c;
    }

    // The channel widened to 8 bits by repeating its bits (31 in five bits gives 255), or cut
    // to its top 8 bits when it is wider.
    uint8_t From(uint32_t pixel) const {
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return static_cast<uint8_t>(v >> (bits - 8));
        uint32_t out = 0;
        for (int at = 8 - bits; at > -bits; at -= bits)
            out |= at >= 0 ? v << at : v >> -at;
        return static_cast<uint8_t>(out);
    }
};

struct Header {
    uint32_t offset = 0;      // where the pixels start
    uint32_t size = 0;        // of the info header
    int64_t width = 0, height = 0;
    bool topDown = false;
    uint32_t bitsPerPixel = 0;
    uint32_t compression = kRgb;
    std::array<Channel, 3> channels;   // red, green, blue, for 16 and 32 bits per pixel
    const uint8_t* palette = nullptr;  // paletteEntries entries of entryBytes each
    size_t paletteEntries = 0, entryBytes = 4;
    ByteReader pixels;                 // from the pixels' offset to the end of the file
};

Check ReadHeader(const ByteReader& file, Header& h) {
    ByteReader r = file;
    r.skip(10);
    h.offset = r.u32le();
    h.size = r.u32le();
    if (r.failed())
        return Truncated(kBmp);
    // 12: OS/2 1.x; 64: OS/2 2.x; 40, 52, 56, 108, 124: Windows' versions 1 to 5.
    if (h.size != 12 && h.size != 40 && h.size != 52 && h.size != 56 && h.size != 64 &&
        h.size != 108 && h.size != 124)
        return Corrupt(kBmp, "unknown header size");
    // The rest of the info header, after its size.
    ByteReader info = r.sub(h.size - 4);
    if (info.failed())
        return Truncated(kBmp);
    uint32_t planes, colorsUsed = 0;
    if (h.size == 12) {
        h.width = info.u16le();
        h.height = info.u16le();
        planes = info.u16le();
        h.bitsPerPixel = info.u16le();
        h.entryBytes = 3;
    } else {
        h.width = static_cast<int32_t>(info.u32le());
        h.height = static_cast<int32_t>(info.u32le());
        planes = info.u16le();
        h.bitsPerPixel = info.u16le();
        h.compression = info.u32le();
        info.skip(12);  // image size and resolution
        colorsUsed = info.u32le();
    }
    if (planes != 1)
        return Corrupt(kBmp, "bad number of planes");
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
    const uint32_t bpp = h.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return Corrupt(kBmp, "bad number of bits per pixel");
    // OS/2 2.x uses 3 and 4 for its own Huffman and 24-bit RLE codings.
    if (h.compression > kBitfields || (h.size == 64 && h.compression == kBitfields))
        return Unsupported(kBmp, "bitmaps with this compression");
    if ((h.compression == kRle8 && bpp != 8) || (h.compression == kRle4 && bpp != 4) ||
        (h.compression == kBitfields && bpp != 16 && bpp != 32))
        return Corrupt(kBmp, "its compression does not fit its bits per pixel");
    if (h.topDown && (h.compression == kRle8 || h.compression == kRle4))
        return Corrupt(kBmp, "run-length-encoded rows cannot be stored top-down");

    size_t headersEnd = 14 + size_t{h.size};
    if (bpp == 16 || bpp == 32) {
        uint32_t masks[3] = {bpp == 16 ? 0x7C00u : 0xFF0000u, bpp == 16 ? 0x03E0u : 0xFF00u,
                             bpp == 16 ? 0x001Fu : 0xFFu};
        if (h.compression == kBitfields) {
            // Version 1 headers are followed by the three masks; later versions hold them.
            if (h.size == 40)
                headersEnd += 12;
            ByteReader m = file.from(54);
            for (uint32_t& mask : masks)
                mask = m.u32le();
            if (m.failed())
                return Truncated(kBmp);
        }
        for (int i = 0; i < 3; ++i) {
            const std::optional<Channel> channel = Channel::Of(masks[i]);
            if (!channel || (bpp == 16 && masks[i] > 0xFFFF))
                return Corrupt(kBmp, "bad colour masks");
            h.channels[i] = *channel;
        }
    if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2]))
            return Corrupt(kBmp, "bad colour masks");
    }
    if (h.offset < headersEnd)
        return Corrupt(kBmp, "its pixels start inside its header");
    if (bpp <= 8) {
        // The palette lies between the header and the pixels. Some writers leave out entries
        // no pixel uses without saying so; only pixels that use a missing entry are refused.
        const size_t full = size_t{1} << bpp;
        const size_t declared = colorsUsed == 0 ? full : std::min<size_t>(colorsUsed, full);
        h.paletteEntries = std::min(declared, (h.offset - headersEnd) / h.entryBytes);
        if (h.paletteEntries == 0)
            return Corrupt(kBmp, "it has no palette");
    }
    h.pixels = file.from(h.offset);
    if (h.pixels.failed())
        return Truncated(kBmp);
    // Between the headers and the pixels, so it lies within the file.
    if (bpp <= 8)
        h.palette = file.from(headersEnd).bytes(h.paletteEntries * h.entryBytes);
    return std::nullopt;
}

// The destination of the picture's row `fileRow` (counted in the file's order).
uint8_t* RowOf(PixelBuffer& pixels, const Header& h, int64_t fileRow) {
    const int64_t y = h.topDown ? fileRow : h.height - 1 - fileRow;
    return pixels.row(static_cast<int32_t>(y));
}

class Palette {
public:
    explicit Palette(const Header& h) : h_(h) {}
    bool Put(uint32_t index, uint8_t* pixel) const {
        if (index >= h_.paletteEntries)
            return false;
        const uint8_t* entry = h_.palette + index * h_.entryBytes;
        pixel[0] = entry[2];
        pixel[1] = entry[1];
        pixel[2] = entry[0];
        pixel[3] = 255;
        return true;
    }

private:
    const Header& h_;
};

Error MissingColour() { return Corrupt(kBmp, "a pixel uses a colour missing from the palette"); }

Check DecodeRows(const Header& h, PixelBuffer& pixels) {
    const uint32_t bpp = h.bitsPerPixel;
    const size_t stride = static_cast<size_t>((h.width * bpp + 31) / 32 * 4);
    ByteReader rows = h.pixels;
    const uint8_t* all = rows.bytes(stride * static_cast<size_t>(h.height));
    if (!all)
        return Truncated(kBmp);
    const Palette palette(h);
    for (int64_t row = 0; row < h.height; ++row) {
        const uint8_t* src = all + static_cast<size_t>(row) * stride;
        uint8_t* out = RowOf(pixels, h, row);
        for (int64_t x = 0; x < h.width; ++x, out += 4) {
            if (bpp <= 8) {
                const int64_t bit = x * bpp;
                const uint32_t index = (src[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (!palette.Put(index, out))
                    return MissingColour();
            } else if (bpp == 24) {
                const uint8_t* p = src + x * 3;
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
                out[3] = 255;
            } else {
                const uint8_t* p = src + x * (bpp / 8);
                const uint32_t value = bpp == 16 ? p[0] | (p[1] << 8)
                                                 : p[0] | (p[1] << 8) | (p[2] << 16) |
                                                       (static_cast<uint32_t>(p[3]) << 24);
                for (int c = 0; c < 3; ++c)
                    out[c] = h.channels[c].From(value);
                out[3] = 255;  // a fourth channel is ignored: most writers leave junk or zeros there
            }
        }
    }
    return std::nullopt;
}

// RLE8 and RLE4: pairs of a count and a colour byte, or a zero and an escape (0 end of line,
// 1 end of bitmap, 2 delta, 3 and more a stretch of literal pixels padded to a 16-bit boundary).
// Pixels that a delta or an early end of line or of bitmap passes over are left transparent,
// as Windows leaves them showing what was behind the picture (ImageMagick paints palette colour
// 0 there instead). A run may reach into the row's padding, as encoders that compress the stored
// rows (ImageMagick's) write; those pixels are dropped. A run beyond that, or past the last row,
// is an error.
Check DecodeRunLengths(const Header& h, PixelBuffer& pixels) {
    const bool four = h.compression == kRle4;
    const int64_t storedWidth = four ? (h.width + 7) / 8 * 8 : (h.width + 3) / 4 * 4;
    const Palette palette(h);
    ByteReader r = h.pixels;
    int64_t x = 0, row = 0;
    const auto put = [&](uint32_t index) -> bool {
        if (x < h.width && !palette.Put(index, RowOf(pixels, h, row) + x * 4))
            return false;
        ++x;
        return true;
    };
    const auto fits = [&](int64_t count) -> Check {
        if (row >= h.height)
            return Corrupt(kBmp, "a run lies past the end of the picture");
        if (x + count > storedWidth)
            return Corrupt(kBmp, "a run reaches past the end of a row");
        return std::nullopt;
    };
    for (;;) {
        if (!r.has(2))
            return row >= h.height ? std::nullopt : Check(Truncated(kBmp));
        const uint32_t count = r.u8(), value = r.u8();
        if (count > 0) {
            if (Check check = fits(count))
                return check;
            for (uint32_t i = 0; i < count; ++i)
                if (!put(four ? (i % 2 ? value & 15 : value >> 4) : value))
                    return MissingColour();
        } else if (value == 0) {
            x = 0;
            if (++row > h.height)
                return Corrupt(kBmp, "a line ends past the end of the picture");
        } else if (value == 1) {
            return std::nullopt;
        } else if (value == 2) {
            x += r.u8();
            row += r.u8();
            if (r.failed())
                return Truncated(kBmp);
            if (x > storedWidth || row > h.height)
                return Corrupt(kBmp, "a delta moves past the end of the picture");
        } else {
            const uint8_t* literal = r.bytes(four ? (value + 3) / 4 * 2 : (value + 1) / 2 * 2);
            if (!literal)
                return Truncated(kBmp);
            if (Check check = fits(value))
                return check;
            for (uint32_t i = 0; i < value; ++i) {
                const uint8_t byte = literal[four ? i / 2 : i];
                if (!put(four ? (i % 2 ? byte & 15 : byte >> 4) : byte))
                    return MissingColour();
            }
        }
    }
}

// The header, read and checked against the limits: all that inspection needs, and the start of
// every decode.
Check ReadCheckedHeader(const uint8_t* bytes, size_t size, const PictureLimits& limits, Header& h) {
    if (Check header = ReadHeader(ByteReader(bytes, size), h))
        return header;
    return CheckSize(kBmp, h.width, h.height, limits);
}

} // namespace

Result<Picture> DecodeBitmap(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    Header h;
    if (Check header = ReadCheckedHeader(bytes, size, limits, h))
        return std::move(*header);
    Result<PixelBuffer> buffer =
        PixelBuffer::Allocate(static_cast<int32_t>(h.width), static_cast<int32_t>(h.height));
    if (!buffer)
        return buffer.error();
    PixelBuffer& pixels = buffer.value();
    if (Check decoded = h.compression == kRle8 || h.compression == kRle4
                            ? DecodeRunLengths(h, pixels)
                            : DecodeRows(h, pixels))
        return std::move(*decoded);
    return Picture::FromPixels(std::move(pixels));
}

Result<PictureSize> InspectBitmap(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    Header h;
    if (Check header = ReadCheckedHeader(bytes, size, limits, h))
        return std::move(*header);
    return PictureSize{static_cast<int32_t>(h.width), static_cast<int32_t>(h.height)};
}

} // namespace tess::decoding
