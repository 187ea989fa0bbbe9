// Decoding pictures: the format is told by the bytes' signature; a small walker of our own then
// goes through the file's structure, checking the size its header announces against the limits
// as soon as it meets it; stb_image (compiled in stb_image_impl.cpp) then reads the header again
// (stbi_info), that size is checked again, and only then does stb decode pixels. The walkers
// refuse what this old stb would handle badly: JPEG Huffman tables that overflow its arrays
// (before stb reads even the header), truncated GIFs and bitmaps (stb pads them with zeros), GIF
// code streams that would keep it busy for minutes, JPEGs without image data or with thousands
// of scans, bitmap offsets outside the file and palette indices past the palette.
#include "picture_loader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "stb_image_impl.h"

namespace tess {

namespace {

using stb::Format;

using Check = std::optional<Error>;

const char* NameOf(Format format) {
    switch (format) {
    case Format::Gif: return "GIF";
    case Format::Jpeg: return "JPEG";
    case Format::Bmp: return "bitmap";
    }
    return "";
}

Error Corrupt(Format format, const std::string& detail) {
    return Error{ErrorCode::CorruptPicture,
                 std::string("The ") + NameOf(format) + " picture is damaged: " + detail};
}

Error Truncated(Format format) { return Corrupt(format, "the file ends too early"); }

Error Unsupported(Format format, const std::string& what) {
    return Error{ErrorCode::CorruptPicture,
                 std::string("The ") + NameOf(format) + " picture cannot be read: " + what +
                     " are not supported"};
}

Error OutOfMemory() { return Error{ErrorCode::OutOfMemory, "Not enough memory to decode the picture"}; }

// The announced size against the limits, in 64 bits (the Windows build is a 32-bit process).
Check CheckSize(Format format, int64_t width, int64_t height, const PictureLimits& limits) {
    if (width <= 0 || height <= 0)
        return Corrupt(format, "it has no pixels");
    if (width > limits.maxSide || height > limits.maxSide || width * height > limits.maxPixels)
        return Error{ErrorCode::PictureTooLarge,
                     "The picture is too large (" + std::to_string(width) + " x " +
                         std::to_string(height) + " pixels; the limit is " +
                         std::to_string(limits.maxSide) + " on a side and " +
                         std::to_string(limits.maxPixels) + " in all)"};
    return std::nullopt;
}

uint32_t U16le(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U16be(const uint8_t* p) { return (p[0] << 8) | p[1]; }
uint32_t U32le(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::optional<Format> Identify(const uint8_t* bytes, size_t size) {
    if (size >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0))
        return Format::Gif;
    if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return Format::Jpeg;
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return Format::Bmp;
    return std::nullopt;
}

// ---- GIF ----------------------------------------------------------------------------------

// Skips a chain of data sub-blocks ending with an empty one; false if the file ends first.
bool SkipSubBlocks(const uint8_t* d, size_t n, size_t& pos) {
    for (;;) {
        if (pos >= n)
            return false;
        const size_t length = d[pos++];
        if (length == 0)
            return true;
        if (n - pos < length)
            return false;
        pos += length;
    }
}

// Runs the first image's LZW code stream the way stb's stbi__process_gif_raster reads it, but
// counts pixels instead of writing them. stb walks a code's whole prefix chain even once the
// image is full, so a stream of long codes past the end would keep it busy for minutes; here the
// pixels the stream produces are capped relative to the image. Also catches a stream cut short
// by the end of the file, which stb would take for the end of the image.
Check CheckGifRaster(const uint8_t* d, size_t n, size_t pos, int codeSize, uint64_t framePixels) {
    constexpr int32_t kMaxCodes = 8192;
    std::array<uint16_t, kMaxCodes> chainLength;
    const int32_t clear = 1 << codeSize;
    for (int32_t code = 0; code < clear; ++code)
        chainLength[code] = 1;
    int32_t codeBits = codeSize + 1;
    int32_t codeMask = (1 << codeBits) - 1;
    int32_t avail = clear + 2;
    int32_t oldCode = -1;
    bool first = true;
    uint32_t bits = 0;
    int32_t validBits = 0;
    size_t blockLeft = 0;
    uint64_t produced = 0;
    const uint64_t maxProduced = 2 * framePixels + (uint64_t{1} << 20);

    for (;;) {
        if (validBits < codeBits) {
            if (blockLeft == 0) {
                if (pos >= n)
                    return Truncated(Format::Gif);
                blockLeft = d[pos++];
                if (blockLeft == 0)
                    return std::nullopt;  // end of the image data
                if (n - pos < blockLeft)
                    return Truncated(Format::Gif);
            }
            --blockLeft;
            bits |= static_cast<uint32_t>(d[pos++]) << validBits;
            validBits += 8;
            continue;
        }
        const int32_t code = static_cast<int32_t>(bits & static_cast<uint32_t>(codeMask));
        bits >>= codeBits;
        validBits -= codeBits;
        if (code == clear) {
            codeBits = codeSize + 1;
            codeMask = (1 << codeBits) - 1;
            avail = clear + 2;
            oldCode = -1;
            first = false;
        } else if (code == clear + 1) {
            pos += blockLeft;  // end code: stb skips the rest of the data blocks
            if (!SkipSubBlocks(d, n, pos))
                return Truncated(Format::Gif);
            return std::nullopt;
        } else if (code <= avail) {
            if (first)
                return Corrupt(Format::Gif, "the image data does not start with a clear code");
            if (oldCode >= 0) {
                const int32_t added = avail++;
                if (avail > kMaxCodes)
                    return Corrupt(Format::Gif, "too many codes in the image data");
                chainLength[added] = static_cast<uint16_t>(chainLength[oldCode] + 1);
            } else if (code == avail) {
                return Corrupt(Format::Gif, "bad code in the image data");
            }
            produced += chainLength[code];
            if (produced > maxProduced)
                return Corrupt(Format::Gif, "far more image data than pixels");
            if ((avail & codeMask) == 0 && avail <= 0x0FFF) {
                ++codeBits;
                codeMask = (1 << codeBits) - 1;
            }
            oldCode = code;
        } else {
            return Corrupt(Format::Gif, "bad code in the image data");
        }
    }
}

// Where the first image lies on the GIF's logical screen.
struct GifFrame {
    uint32_t x = 0, y = 0, width = 0, height = 0;
};

// Walks the blocks up to the end of the first image.
Check CheckGif(const uint8_t* d, size_t n, const PictureLimits& limits, GifFrame& frame) {
    if (n < 13)
        return Truncated(Format::Gif);
    const uint32_t screenWidth = U16le(d + 6), screenHeight = U16le(d + 8);
    if (Check size = CheckSize(Format::Gif, screenWidth, screenHeight, limits))
        return size;
    const uint8_t flags = d[10];
    size_t pos = 13;
    if (flags & 0x80) {
        const size_t table = 3 * (size_t{2} << (flags & 7));
        if (n - pos < table)
            return Truncated(Format::Gif);
        pos += table;
    }
    for (;;) {
        if (pos >= n)
            return Truncated(Format::Gif);
        const uint8_t tag = d[pos++];
        if (tag == 0x21) {  // extension: a label, then sub-blocks
            if (pos >= n)
                return Truncated(Format::Gif);
            ++pos;
            if (!SkipSubBlocks(d, n, pos))
                return Truncated(Format::Gif);
        } else if (tag == 0x2C) {  // image descriptor
            if (n - pos < 9)
                return Truncated(Format::Gif);
            const uint32_t x = U16le(d + pos), y = U16le(d + pos + 2);
            const uint32_t w = U16le(d + pos + 4), h = U16le(d + pos + 6);
            const uint8_t localFlags = d[pos + 8];
            pos += 9;
            if (x + w > screenWidth || y + h > screenHeight)
                return Corrupt(Format::Gif, "its first image lies outside the picture");
            frame = GifFrame{x, y, w, h};
            if (localFlags & 0x80) {
                const size_t table = 3 * (size_t{2} << (localFlags & 7));
                if (n - pos < table)
                    return Truncated(Format::Gif);
                pos += table;
            } else if (!(flags & 0x80)) {
                return Corrupt(Format::Gif, "it has no colour table");
            }
            if (pos >= n)
                return Truncated(Format::Gif);
            const int codeSize = d[pos++];
            if (codeSize < 1 || codeSize > 8)
                return Corrupt(Format::Gif, "bad LZW code size");
            return CheckGifRaster(d, n, pos, codeSize, uint64_t{w} * h);
        } else if (tag == 0x3B) {
            return Corrupt(Format::Gif, "it holds no image");
        } else {
            return Corrupt(Format::Gif, "unknown block");
        }
    }
}

// ---- JPEG ---------------------------------------------------------------------------------

// Checks a Huffman table segment: this stb writes a table's symbol counts and values into
// fixed 256-entry arrays without checking that the counts add up to at most 256.
Check CheckJpegHuffmanTables(const uint8_t* d, size_t length) {
    size_t pos = 2;
    while (pos < length) {
        if (length - pos < 17)
            return Corrupt(Format::Jpeg, "bad Huffman table");
        size_t symbols = 0;
        for (size_t i = 1; i <= 16; ++i)
            symbols += d[pos + i];
        if (symbols > 256)
            return Corrupt(Format::Jpeg, "bad Huffman table");
        pos += 17 + symbols;
    }
    return std::nullopt;
}

// Walks the markers from the start to the end marker, before stb reads even the header: Huffman
// tables must fit their arrays, the frame header must announce an acceptable size and come
// before the first scan, there must be a scan, and the number of scans is capped (every scan
// makes stb go over the whole image again, so thousands of tiny scans would keep it busy for
// minutes; 32 scans are always allowed, more for smaller pictures, never more than 1000).
Check CheckJpeg(const uint8_t* d, size_t n, const PictureLimits& limits) {
    size_t pos = 2;
    bool frame = false;
    int64_t scans = 0, maxScans = 0;
    for (;;) {
        // The next marker: an 0xFF not followed by a stuffed zero or a restart code. Other bytes
        // (entropy-coded data, padding) are passed over, as stb passes over padding.
        while (pos < n && d[pos] != 0xFF)
            ++pos;
        while (pos < n && d[pos] == 0xFF)
            ++pos;
        if (pos >= n)
            return Truncated(Format::Jpeg);
        const uint8_t marker = d[pos++];
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        if (marker == 0xD9) {  // end of image
            if (scans == 0)
                return Corrupt(Format::Jpeg, "it holds no image data");
            return std::nullopt;
        }
        if (n - pos < 2)
            return Truncated(Format::Jpeg);
        const size_t length = U16be(d + pos);
        if (length < 2)
            return Corrupt(Format::Jpeg, "bad segment length");
        if (n - pos < length)
            return Truncated(Format::Jpeg);
        if (marker == 0xC4) {
            if (Check tables = CheckJpegHuffmanTables(d + pos, length))
                return tables;
        } else if (marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            return Unsupported(Format::Jpeg, "lossless, hierarchical and arithmetic-coded JPEGs");
        } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            if (frame)
                return Corrupt(Format::Jpeg, "it has two frame headers");
            if (length < 8)
                return Corrupt(Format::Jpeg, "bad frame header");
            if (d[pos + 2] != 8)
                return Unsupported(Format::Jpeg, "JPEGs of other than 8 bits per sample");
            const int64_t height = U16be(d + pos + 3), width = U16be(d + pos + 5);
            if (height == 0 && width != 0)
                return Corrupt(Format::Jpeg, "its height is only given after the image data");
            if (Check size = CheckSize(Format::Jpeg, width, height, limits))
                return size;
            frame = true;
            maxScans = std::clamp<int64_t>((int64_t{1} << 31) / (width * height), 32, 1000);
        } else if (marker == 0xDA) {
            if (!frame)
                return Corrupt(Format::Jpeg, "image data before the frame header");
            if (++scans > maxScans)
                return Corrupt(Format::Jpeg, "too many scans");
        }
        pos += length;
    }
}

// ---- Windows bitmap -----------------------------------------------------------------------

// Checks what stb's bitmap reader takes on trust: that the pixel rows lie inside the file (it
// reads zeros past the end), that the pixel offset is past the headers, and that palette indices
// stay inside the palette as stb counts it (it reads an uninitialized table past it).
Check CheckBmp(const uint8_t* d, size_t n, const PictureLimits& limits) {
    if (n < 18)
        return Truncated(Format::Bmp);
    const uint32_t offset = U32le(d + 10);
    const uint32_t headerSize = U32le(d + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 56 && headerSize != 108 && headerSize != 124)
        return Corrupt(Format::Bmp, "unknown header size");
    if (n - 14 < headerSize)
        return Truncated(Format::Bmp);
    int64_t width, height;
    uint32_t bitsPerPixel, compression = 0;
    if (headerSize == 12) {
        width = U16le(d + 18);
        height = U16le(d + 20);
        bitsPerPixel = U16le(d + 24);
    } else {
        width = static_cast<int32_t>(U32le(d + 18));
        height = static_cast<int32_t>(U32le(d + 22));
        bitsPerPixel = U16le(d + 28);
        compression = U32le(d + 30);
    }
    if (compression == 1 || compression == 2)
        return Unsupported(Format::Bmp, "RLE-compressed bitmaps");
    if (compression != 0 && compression != 3)
        return Unsupported(Format::Bmp, "bitmaps with this compression");
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 &&
        bitsPerPixel != 24 && bitsPerPixel != 32)
        return Corrupt(Format::Bmp, "bad number of bits per pixel");
    const int64_t rows = height < 0 ? -height : height;
    if (Check size = CheckSize(Format::Bmp, width, rows, limits))
        return size;
    const int64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    // stb reads three colour masks after a 40- or 56-byte header when the pixels use bitfields.
    const bool masksAfterHeader =
        (headerSize == 40 || headerSize == 56) && compression == 3 && bitsPerPixel >= 16;
    const int64_t headersEnd = 14 + int64_t{headerSize} + (masksAfterHeader ? 12 : 0);
    if (offset < headersEnd)
        return Corrupt(Format::Bmp, "its pixels start inside its header");
    if (offset > n || stride * rows > static_cast<int64_t>(n - offset))
        return Truncated(Format::Bmp);
    if (bitsPerPixel <= 8) {
        // The palette size exactly as stb computes it (for the 12-byte header it counts four
        // entries fewer than the file holds).
        const int64_t paletteSize = headerSize == 12 ? (int64_t{offset} - 14 - 24) / 3
                                                     : (int64_t{offset} - 14 - headerSize) / 4;
        if (paletteSize < 1 || paletteSize > 256)
            return Corrupt(Format::Bmp, "bad palette size");
        if (paletteSize < (int64_t{1} << bitsPerPixel)) {
            const int mask = (1 << bitsPerPixel) - 1;
            for (int64_t y = 0; y < rows; ++y) {
                const uint8_t* row = d + offset + y * stride;
                for (int64_t x = 0; x < width; ++x) {
                    const int64_t bit = x * bitsPerPixel;
                    const int shift = 8 - bitsPerPixel - static_cast<int>(bit % 8);
                    const int index = (row[bit / 8] >> shift) & mask;
                    if (index >= paletteSize)
                        return Corrupt(Format::Bmp, "a pixel uses a colour missing from the palette");
                }
            }
        }
    }
    return std::nullopt;
}

// ---- Decoding -----------------------------------------------------------------------------

Error StbFailure(Format format, const stb::AllocationScope& scope) {
    const char* reason = stb::FailureReason();
    if (scope.stats().refused || std::strcmp(reason, "outofmem") == 0)
        return OutOfMemory();
    if (std::strcmp(reason, "too large") == 0)
        return Error{ErrorCode::PictureTooLarge, std::string("The ") + NameOf(format) +
                                                     " picture is too large to load"};
    if (format == Format::Bmp && std::strcmp(reason, "BMP RLE") == 0)
        return Unsupported(Format::Bmp, "RLE-compressed bitmaps");
    return Corrupt(format, *reason ? std::string("the decoder refused it (") + reason + ")"
                                   : std::string("the decoder refused it"));
}

Result<Picture> Decode(Format format, const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    stb::AllocationScope scope;  // opened first, so that its stats cover this whole decode

    // Our own look at the structure first: stb is not safe on everything it would be shown.
    GifFrame frame;
    Check structure = format == Format::Gif    ? CheckGif(bytes, size, limits, frame)
                      : format == Format::Jpeg ? CheckJpeg(bytes, size, limits)
                                               : CheckBmp(bytes, size, limits);
    if (structure)
        return std::move(*structure);

    const int length = static_cast<int>(size);  // size <= kMaxPictureFileBytes < INT_MAX

    // The size as stb reads it, checked again before it decodes a pixel.
    int infoWidth = 0, infoHeight = 0;
    if (!stb::Info(format, bytes, length, &infoWidth, &infoHeight))
        return StbFailure(format, scope);
    // stb reports a top-down bitmap's height as negative; 64 bits so that -INT_MIN is no trap.
    const int64_t width = infoWidth;
    const int64_t height = infoHeight < 0 ? -int64_t{infoHeight} : int64_t{infoHeight};
    if (Check size = CheckSize(format, width, height, limits))
        return std::move(*size);

    int decodedWidth = 0, decodedHeight = 0;
    uint8_t* rgba = stb::LoadRgba(bytes, length, &decodedWidth, &decodedHeight);
    if (!rgba)
        return StbFailure(format, scope);
    if (decodedWidth != width || decodedHeight != height) {
        stb::FreeImage(rgba);
        return Corrupt(format, "its size changed while decoding");
    }
    if (format != Format::Gif) {
        // Only GIF keeps transparency: JPEGs have none and a bitmap's fourth byte is often junk.
        const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
        for (size_t i = 0; i < pixelCount; ++i)
            rgba[i * 4 + 3] = 255;
    } else {
        // Where the first image does not reach, the picture is transparent, as browsers show it
        // (stb would paint the background colour there, opaque even when it is the transparent one).
        for (int64_t y = 0; y < height; ++y) {
            uint8_t* row = rgba + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
            const bool inRows = y >= frame.y && y < int64_t{frame.y} + frame.height;
            for (int64_t x = 0; x < width; ++x)
                if (!inRows || x < frame.x || x >= int64_t{frame.x} + frame.width)
                    std::memset(row + x * 4, 0, 4);
        }
    }
    Result<Picture> picture = Picture::FromRgba(decodedWidth, decodedHeight, rgba);
    stb::FreeImage(rgba);
    return picture;
}

} // namespace

Result<Picture> DecodePicture(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    if (size == 0)
        return Error{ErrorCode::NotAPicture, "The file is empty"};
    if (!bytes)
        return Error{ErrorCode::InvalidArgument, "No bytes to decode"};
    if (size > kMaxPictureFileBytes)
        return Error{ErrorCode::PictureTooLarge, "The picture file is too large"};
    const std::optional<Format> format = Identify(bytes, size);
    if (!format)
        return Error{ErrorCode::NotAPicture, "The file is not a GIF, JPEG or bitmap picture"};
    const PictureLimits clamped{std::min(limits.maxSide, kMaxPictureSide),
                                std::min(limits.maxPixels, kMaxPicturePixels)};
    try {
        return Decode(*format, bytes, size, clamped);
    } catch (const stb::AssertionFailure&) {
        return Corrupt(*format, "the decoder found it inconsistent");
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

Result<Picture> DecodePicture(const uint8_t* bytes, size_t size) {
    return DecodePicture(bytes, size, PictureLimits{});
}

} // namespace tess
