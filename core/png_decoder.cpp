// Decoding PNG ourselves: every colour type and bit depth, Adam7 interlacing and tRNS transparency,
// to straight 8-bit RGBA without gamma or colour management. The chunks are walked and their CRCs
// checked, and the size checked against the limits, before anything is inflated; the image data
// is inflated into a buffer of exactly the size its header implies, which never grows.
#include <array>
#include <cstring>
#include <memory>

#include "byte_reader.h"
#include "picture_decoding.h"
#include "stb_image_impl.h"

namespace tess::decoding {

namespace {

constexpr const char* kPng = "PNG";

// A fuzzing build lets a wrong CRC pass, so that mutated chunks reach what lies behind the check.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr bool kCheckCrc = false;
#else
constexpr bool kCheckCrc = true;
#endif

enum ColourType : uint8_t { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

// The standard CRC-32 of PNG chunks (reflected polynomial 0xEDB88320), a table at a time.
class Crc32 {
public:
    Crc32() {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table_[n] = c;
        }
    }
    uint32_t operator()(const uint8_t* bytes, size_t size) const {
        uint32_t c = 0xFFFFFFFFu;
        for (size_t i = 0; i < size; ++i)
            c = table_[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
        return c ^ 0xFFFFFFFFu;
    }

private:
    std::array<uint32_t, 256> table_{};
};

const Crc32& Crc() {
    static const Crc32 crc;
    return crc;
}

struct Chunk {
    uint32_t type = 0;
    ByteReader data;
};

constexpr uint32_t Tag(const char (&name)[5]) {
    return (uint32_t{static_cast<uint8_t>(name[0])} << 24) | (static_cast<uint8_t>(name[1]) << 16) |
           (static_cast<uint8_t>(name[2]) << 8) | static_cast<uint8_t>(name[3]);
}

// The next chunk: its length, type, data and CRC, the CRC checked over type and data.
Check ReadChunk(ByteReader& r, Chunk& chunk) {
    const uint32_t length = r.u32be();
    const uint8_t* typeAndData = r.bytes(4);
    if (r.failed())
        return Truncated(kPng);
    if (length > 0x7FFFFFFFu)
        return Corrupt(kPng, "bad chunk length");
    chunk.data = r.sub(length);
    const uint32_t crc = r.u32be();
    if (r.failed())
        return Truncated(kPng);
    chunk.type = (uint32_t{typeAndData[0]} << 24) | (typeAndData[1] << 16) | (typeAndData[2] << 8) |
                 typeAndData[3];
    for (int i = 0; i < 4; ++i) {
        const uint8_t c = typeAndData[i] & 0xDF;  // as upper case
        if (c < 'A' || c > 'Z')
            return Corrupt(kPng, "bad chunk type");
    }
    // Type and data lie next to each other in the file.
    if (kCheckCrc && Crc()(typeAndData, 4 + size_t{length}) != crc)
        return Corrupt(kPng, "a chunk's checksum is wrong");
    return std::nullopt;
}

struct Header {
    int64_t width = 0, height = 0;
    uint8_t depth = 0;
    uint8_t colourType = 0;
    bool interlaced = false;
    int channels = 0;  // samples a pixel

    int bitsPerPixel() const { return channels * depth; }
    // Bytes of one filtered row of `pixels` pixels, without its filter byte.
    uint64_t rowBytes(int64_t pixels) const {
        return (static_cast<uint64_t>(pixels) * bitsPerPixel() + 7) / 8;
    }
};

// The signature and the header chunk, checked, and the size against the limits: all that
// inspection needs, and the start of every decode.
Check ReadHeader(ByteReader& r, const PictureLimits& limits, Header& h) {
    r.skip(8);  // the signature, which told the format
    Chunk chunk;
    if (Check read = ReadChunk(r, chunk))
        return read;
    if (chunk.type != Tag("IHDR") || chunk.data.remaining() != 13)
        return Corrupt(kPng, "it does not start with its header");
    ByteReader d = chunk.data;
    const uint32_t width = d.u32be(), height = d.u32be();
    h.depth = d.u8();
    h.colourType = d.u8();
    const uint8_t compression = d.u8(), filter = d.u8(), interlace = d.u8();
    h.width = width;
    h.height = height;
    switch (h.colourType) {
    case kGrey: h.channels = 1; break;
    case kRgb: h.channels = 3; break;
    case kPalette: h.channels = 1; break;
    case kGreyAlpha: h.channels = 2; break;
    case kRgba: h.channels = 4; break;
    default: return Corrupt(kPng, "unknown colour type");
    }
    const uint8_t depth = h.depth;
    const bool lowDepth = depth == 1 || depth == 2 || depth == 4;
    const bool legal = h.colourType == kGrey      ? lowDepth || depth == 8 || depth == 16
                       : h.colourType == kPalette ? lowDepth || depth == 8
                                                  : depth == 8 || depth == 16;
    if (!legal)
        return Corrupt(kPng, "its bit depth does not fit its colour type");
    if (compression != 0 || filter != 0)
        return Unsupported(kPng, "PNGs with unknown compression or filter methods");
    if (interlace > 1)
        return Unsupported(kPng, "PNGs with unknown interlacing");
    h.interlaced = interlace == 1;
    if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return Corrupt(kPng, "bad size");
    return CheckSize(kPng, h.width, h.height, limits);
}

// What the chunks after the header give: the palette, the transparency and the image data.
struct Contents {
    const uint8_t* palette = nullptr;  // RGB triplets
    size_t paletteEntries = 0;
    const uint8_t* paletteAlpha = nullptr;  // tRNS of a palette picture: alpha of the first entries
    size_t paletteAlphaEntries = 0;
    bool hasKey = false;                  // tRNS of a grey or RGB picture: the colour that draws nothing
    std::array<uint16_t, 3> key{};        // grey, or red, green and blue, as stored
    // The IDAT chunks: the reader at the first one's length, how many follow it in a row, and
    // their data's total length.
    ByteReader imageChunks;
    size_t imageChunkCount = 0;
    size_t imageBytes = 0;
};

// Walks the chunks after the header up to the end chunk, checking their order and CRCs. Unknown
// ancillary chunks (gamma, colour spaces, text) are passed over; an unknown critical one is an
// error, as the format requires.
Check ReadContents(ByteReader& r, const Header& h, Contents& c) {
    bool dataEnded = false;
    for (;;) {
        const ByteReader start = r;
        Chunk chunk;
        if (Check read = ReadChunk(r, chunk))
            return read;
        const bool critical = !(chunk.type & 0x20000000u);
        if (chunk.type == Tag("IEND"))
            break;
        if (chunk.type == Tag("IDAT")) {
            if (dataEnded)
                return Corrupt(kPng, "its image data is split by other chunks");
            if (c.imageChunkCount++ == 0)
                c.imageChunks = start;
            c.imageBytes += chunk.data.remaining();
            continue;
        }
        if (c.imageChunkCount > 0)
            dataEnded = true;
        if (chunk.type == Tag("IHDR"))
            return Corrupt(kPng, "it has two headers");
        if (chunk.type == Tag("PLTE")) {
            if (c.palette || dataEnded)
                return Corrupt(kPng, "misplaced palette");
            const size_t length = chunk.data.remaining();
            if (length == 0 || length % 3 != 0 || length > 3 * 256)
                return Corrupt(kPng, "bad palette");
            c.paletteEntries = length / 3;
            c.palette = chunk.data.bytes(length);
        } else if (chunk.type == Tag("tRNS")) {
            if (c.paletteAlpha || c.hasKey || dataEnded)
                return Corrupt(kPng, "misplaced transparency");
            ByteReader d = chunk.data;
            const size_t length = d.remaining();
            if (h.colourType == kPalette) {
                if (!c.palette)
                    return Corrupt(kPng, "transparency before the palette");
                if (length > c.paletteEntries)
                    return Corrupt(kPng, "bad transparency");
                c.paletteAlphaEntries = length;
                c.paletteAlpha = length ? d.bytes(length) : nullptr;
            } else if (h.colourType == kGrey || h.colourType == kRgb) {
                if (length != 2 * size_t(h.channels))
                    return Corrupt(kPng, "bad transparency");
                for (int i = 0; i < h.channels; ++i)
                    c.key[i] = d.u16be();
                c.hasKey = true;
            }
            // Pictures with an alpha channel have no use for it; it is passed over.
        } else if (critical) {
            return Unsupported(kPng, "PNGs with unknown critical chunks");
        }
    }
    if (c.imageChunkCount == 0)
        return Corrupt(kPng, "it holds no image data");
    if (h.colourType == kPalette && !c.palette)
        return Corrupt(kPng, "it has no palette");
    return std::nullopt;
}

// The seven passes of Adam7 (first column, first row, column step, row step); a picture that is
// not interlaced is the one pass {0, 0, 1, 1}.
struct Pass {
    int64_t x0, y0, dx, dy;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass kWhole = {0, 0, 1, 1};

int64_t PassSide(int64_t side, int64_t start, int64_t step) {
    return side > start ? (side - start + step - 1) / step : 0;
}

// The filtered data the header implies: each pass's rows, each with its filter byte; passes
// without pixels have no rows.
uint64_t FilteredBytes(const Header& h) {
    uint64_t total = 0;
    const Pass* passes = h.interlaced ? kAdam7 : &kWhole;
    for (int p = 0; p < (h.interlaced ? 7 : 1); ++p) {
        const int64_t w = PassSide(h.width, passes[p].x0, passes[p].dx);
        const int64_t rows = PassSide(h.height, passes[p].y0, passes[p].dy);
        if (w > 0 && rows > 0)
            total += static_cast<uint64_t>(rows) * (1 + h.rowBytes(w));
    }
    return total;
}

uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = p > a ? p - a : a - p, pb = p > b ? p - b : b - p, pc = p > c ? p - c : c - p;
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes the filter of one row in place; `prior` is the pass's row before it (null for its first).
bool Unfilter(uint8_t filter, uint8_t* row, const uint8_t* prior, size_t bytes, size_t step) {
    switch (filter) {
    case 0: return true;
    case 1:
        for (size_t i = step; i < bytes; ++i)
            row[i] = static_cast<uint8_t>(row[i] + row[i - step]);
        return true;
    case 2:
        if (prior)
            for (size_t i = 0; i < bytes; ++i)
                row[i] = static_cast<uint8_t>(row[i] + prior[i]);
        return true;
    case 3:
        for (size_t i = 0; i < bytes; ++i) {
            const int left = i >= step ? row[i - step] : 0, up = prior ? prior[i] : 0;
            row[i] = static_cast<uint8_t>(row[i] + (left + up) / 2);
        }
        return true;
    case 4:
        for (size_t i = 0; i < bytes; ++i) {
            const int left = i >= step ? row[i - step] : 0, up = prior ? prior[i] : 0;
            const int upLeft = prior && i >= step ? prior[i - step] : 0;
            row[i] = static_cast<uint8_t>(row[i] + Paeth(left, up, upLeft));
        }
        return true;
    default: return false;
    }
}

// A 16-bit sample to 8 bits with ImageMagick's rounding: the nearest of the 256 levels.
uint8_t From16(uint32_t v) { return static_cast<uint8_t>((v + 128) / 257); }

// Reads one unfiltered row's pixels into the picture's row `y`, every `dx` pixels from `x0`.
class RowConverter {
public:
    RowConverter(const Header& h, const Contents& c) : h_(h), c_(c) {
        // Grey levels below 8 bits stretched over 0..255 (2 bits: 0, 85, 170, 255).
        scale_ = h.depth < 8 ? 255 / ((1u << h.depth) - 1) : 1;
    }

    // False when a pixel uses a colour missing from the palette.
    bool Convert(const uint8_t* row, int64_t count, uint8_t* out, int64_t step) const {
        const int depth = h_.depth;
        for (int64_t x = 0; x < count; ++x, out += 4 * step) {
            uint32_t s[4] = {};
            for (int i = 0; i < h_.channels; ++i)
                s[i] = Sample(row, x * h_.channels + i, depth);
            switch (h_.colourType) {
            case kPalette: {
                if (s[0] >= c_.paletteEntries)
                    return false;
                const uint8_t* entry = c_.palette + 3 * s[0];
                out[0] = entry[0];
                out[1] = entry[1];
                out[2] = entry[2];
                out[3] = s[0] < c_.paletteAlphaEntries ? c_.paletteAlpha[s[0]] : 255;
                break;
            }
            case kGrey:
            case kGreyAlpha: {
                const uint8_t v = Level(s[0]);
                out[0] = out[1] = out[2] = v;
                out[3] = h_.colourType == kGreyAlpha ? Level(s[1])
                         : c_.hasKey && s[0] == Key(0)  ? 0
                                                        : 255;
                break;
            }
            default:  // RGB and RGBA
                for (int i = 0; i < 3; ++i)
                    out[i] = Level(s[i]);
                out[3] = h_.colourType == kRgba ? Level(s[3])
                         : c_.hasKey && s[0] == Key(0) && s[1] == Key(1) && s[2] == Key(2) ? 0
                                                                                            : 255;
            }
        }
        return true;
    }

private:
    // Sample `index` of a row, as stored.
    static uint32_t Sample(const uint8_t* row, int64_t index, int depth) {
        if (depth == 8)
            return row[index];
        if (depth == 16)
            return (row[2 * index] << 8) | row[2 * index + 1];
        const int64_t bit = index * depth;
        return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
    }
    uint8_t Level(uint32_t sample) const {
        return h_.depth == 16 ? From16(sample) : static_cast<uint8_t>(sample * scale_);
    }
    // The transparent key's sample `i`; only as many low bits count as the samples have.
    uint32_t Key(int i) const { return h_.depth == 16 ? c_.key[i] : c_.key[i] & ((1u << h_.depth) - 1); }

    const Header& h_;
    const Contents& c_;
    uint32_t scale_ = 1;
};

// A block from the allocation tracker, so that budgets and statistics cover the decode's buffers.
struct FreeTracked {
    void operator()(uint8_t* block) const { stb::AllocationScope::Free(block); }
};
using TrackedBytes = std::unique_ptr<uint8_t[], FreeTracked>;

TrackedBytes AllocateTracked(size_t bytes) {
    return TrackedBytes(static_cast<uint8_t*>(stb::AllocationScope::Allocate(bytes)));
}

Error OutOfMemory() { return Error{ErrorCode::OutOfMemory, "Not enough memory to decode the picture"}; }

// Inflates the image data into exactly `expected` bytes: more is corrupt, less is truncated.
Result<TrackedBytes> Inflate(const Contents& c, size_t expected) {
    if (c.imageBytes == 0)
        return Truncated(kPng);
    // One IDAT chunk is inflated where it lies; several are joined first. The chunks were
    // checked as they were walked, so they are only read here.
    TrackedBytes joined;
    const uint8_t* stream = nullptr;
    ByteReader chunks = c.imageChunks;
    if (c.imageChunkCount == 1) {
        chunks.skip(8);  // length and type
        stream = chunks.bytes(c.imageBytes);
    } else {
        joined = AllocateTracked(c.imageBytes);
        if (!joined)
            return OutOfMemory();
        size_t at = 0;
        for (size_t i = 0; i < c.imageChunkCount; ++i) {
            const size_t length = chunks.u32be();
            chunks.skip(4);  // the type
            if (length)
                std::memcpy(joined.get() + at, chunks.bytes(length), length);
            chunks.skip(4);  // the CRC
            at += length;
        }
        stream = joined.get();
    }
    TrackedBytes filtered = AllocateTracked(expected);
    if (!filtered)
        return OutOfMemory();
    const int inflated = stb::Inflate(stream, static_cast<int>(c.imageBytes), filtered.get(),
                                      static_cast<int>(expected));
    if (inflated < 0) {
        if (std::strcmp(stb::FailureReason(), "output buffer limit") == 0)
            return Corrupt(kPng, "its image data holds more than its size");
        return Corrupt(kPng, "its compressed image data is damaged");
    }
    if (static_cast<size_t>(inflated) < expected)
        return Truncated(kPng);
    return filtered;
}

} // namespace

Result<PictureSize> InspectPng(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    ByteReader r(bytes, size);
    Header h;
    if (Check header = ReadHeader(r, limits, h))
        return std::move(*header);
    return PictureSize{static_cast<int32_t>(h.width), static_cast<int32_t>(h.height)};
}

Result<PixelBuffer> DecodePng(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    ByteReader r(bytes, size);
    Header h;
    if (Check header = ReadHeader(r, limits, h))
        return std::move(*header);
    Contents c;
    if (Check contents = ReadContents(r, h, c))
        return std::move(*contents);

    // Within the limits the filtered data is at most 64 Mi pixels of 8 bytes and a filter byte a
    // row, which an int holds, as the inflater needs.
    const uint64_t expected = FilteredBytes(h);
    Result<TrackedBytes> inflated = Inflate(c, static_cast<size_t>(expected));
    if (!inflated)
        return inflated.error();
    uint8_t* data = inflated.value().get();

    Result<PixelBuffer> buffer =
        PixelBuffer::Allocate(static_cast<int32_t>(h.width), static_cast<int32_t>(h.height));
    if (!buffer)
        return buffer.error();
    PixelBuffer& pixels = buffer.value();
    const RowConverter converter(h, c);
    const size_t step = static_cast<size_t>(h.bitsPerPixel() + 7) / 8;  // bytes a filter looks back
    const Pass* passes = h.interlaced ? kAdam7 : &kWhole;
    for (int p = 0; p < (h.interlaced ? 7 : 1); ++p) {
        const Pass& pass = passes[p];
        const int64_t w = PassSide(h.width, pass.x0, pass.dx);
        const int64_t rows = PassSide(h.height, pass.y0, pass.dy);
        if (w == 0 || rows == 0)
            continue;
        const size_t rowBytes = static_cast<size_t>(h.rowBytes(w));
        const uint8_t* prior = nullptr;
        for (int64_t y = 0; y < rows; ++y) {
            const uint8_t filter = data[0];
            uint8_t* row = data + 1;
            if (!Unfilter(filter, row, prior, rowBytes, step))
                return Corrupt(kPng, "bad row filter");
            uint8_t* out = pixels.row(static_cast<int32_t>(pass.y0 + y * pass.dy)) + 4 * pass.x0;
            if (!converter.Convert(row, w, out, pass.dx))
                return Corrupt(kPng, "a pixel uses a colour missing from the palette");
            prior = row;
            data += 1 + rowBytes;
        }
    }
    return buffer;
}

} // namespace tess::decoding
