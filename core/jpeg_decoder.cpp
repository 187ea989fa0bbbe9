// JPEGs, decoded by stb_image (compiled in stb_image_impl.cpp) behind a walker of our own that
// goes through the file's markers first, checking the size the frame header announces against
// the limits, and refusing what this old stb would handle badly: Huffman tables that overflow its
// arrays (before stb reads even the header), JPEGs without image data or with thousands of scans.
// stb then reads the header again (stbi_info), that size is checked again, and only then does
// stb decode pixels.
#include <algorithm>
#include <cstring>
#include <string>

#include "byte_reader.h"
#include "picture_decoding.h"
#include "stb_image_impl.h"

namespace tess::decoding {

namespace {

constexpr const char* kJpeg = "JPEG";

// Checks a Huffman table segment (after its length): this stb writes a table's symbol counts and
// values into fixed 256-entry arrays without checking that the counts add up to at most 256.
Check CheckHuffmanTables(ByteReader segment) {
    while (segment.remaining() > 0) {
        if (!segment.has(17))
            return Corrupt(kJpeg, "bad Huffman table");
        segment.skip(1);  // the table's class and number
        size_t symbols = 0;
        for (int i = 0; i < 16; ++i)
            symbols += segment.u8();
        if (symbols > 256)
            return Corrupt(kJpeg, "bad Huffman table");
        // Values running past the segment are stb's to refuse; the arrays hold them either way.
        segment.skip(symbols);
    }
    return std::nullopt;
}

// Walks the markers from the start to the end marker, before stb reads even the header: Huffman
// tables must fit their arrays, the frame header must announce an acceptable size and come
// before the first scan, there must be a scan, and the number of scans is capped (every scan
// makes stb go over the whole image again, so thousands of tiny scans would keep it busy for
// minutes; 32 scans are always allowed, more for smaller pictures, never more than 1000).
// `size` receives the frame header's size.
Check CheckStructure(const uint8_t* bytes, size_t n, const PictureLimits& limits, PictureSize& size) {
    ByteReader r = ByteReader(bytes, n).from(2);
    bool frame = false;
    int64_t scans = 0, maxScans = 0;
    for (;;) {
        // The next marker: an 0xFF not followed by a stuffed zero or a restart code. Other bytes
        // (entropy-coded data, padding) are passed over, as stb passes over padding.
        uint8_t marker = r.u8();
        while (!r.failed() && marker != 0xFF)
            marker = r.u8();
        while (!r.failed() && marker == 0xFF)
            marker = r.u8();
        if (r.failed())
            return Truncated(kJpeg);
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        if (marker == 0xD9) {  // end of image
            if (scans == 0)
                return Corrupt(kJpeg, "it holds no image data");
            return std::nullopt;
        }
        const size_t length = r.u16be();
        if (r.failed())
            return Truncated(kJpeg);
        if (length < 2)
            return Corrupt(kJpeg, "bad segment length");
        ByteReader segment = r.sub(length - 2);
        if (segment.failed())
            return Truncated(kJpeg);
        if (marker == 0xC4) {
            if (Check tables = CheckHuffmanTables(segment))
                return tables;
        } else if (marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            return Unsupported(kJpeg, "lossless, hierarchical and arithmetic-coded JPEGs");
        } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            if (frame)
                return Corrupt(kJpeg, "it has two frame headers");
            const uint8_t precision = segment.u8();
            const int64_t height = segment.u16be(), width = segment.u16be();
            if (segment.failed())
                return Corrupt(kJpeg, "bad frame header");
            if (precision != 8)
                return Unsupported(kJpeg, "JPEGs of other than 8 bits per sample");
            if (height == 0 && width != 0)
                return Corrupt(kJpeg, "its height is only given after the image data");
            if (Check checked = CheckSize(kJpeg, width, height, limits))
                return checked;
            frame = true;
            size = PictureSize{static_cast<int32_t>(width), static_cast<int32_t>(height)};
            maxScans = std::clamp<int64_t>((int64_t{1} << 31) / (width * height), 32, 1000);
        } else if (marker == 0xDA) {
            if (!frame)
                return Corrupt(kJpeg, "image data before the frame header");
            if (++scans > maxScans)
                return Corrupt(kJpeg, "too many scans");
        }
    }
}

// stb's failure as an error value. A refused allocation is told apart by the loader, which sees
// the allocation scope's statistics.
Error StbFailure() {
    const char* reason = stb::FailureReason();
    if (std::strcmp(reason, "outofmem") == 0)
        return Error{ErrorCode::OutOfMemory, "Not enough memory to decode the picture"};
    if (std::strcmp(reason, "too large") == 0)
        return Error{ErrorCode::PictureTooLarge, "The JPEG picture is too large to load"};
    return Corrupt(kJpeg, *reason ? std::string("the decoder refused it (") + reason + ")"
                                  : std::string("the decoder refused it"));
}

} // namespace

Result<PictureSize> InspectJpeg(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    PictureSize announced;
    if (Check structure = CheckStructure(bytes, size, limits, announced))
        return std::move(*structure);
    return announced;
}

Result<PixelBuffer> DecodeJpeg(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    // Our own look at the structure first: stb is not safe on everything it would be shown.
    if (const Result<PictureSize> structure = InspectJpeg(bytes, size, limits); !structure)
        return structure.error();

    const int length = static_cast<int>(size);  // size <= kMaxPictureFileBytes < INT_MAX

    // The size as stb reads it, checked again before it decodes a pixel.
    int width = 0, height = 0;
    if (!stb::JpegInfo(bytes, length, &width, &height))
        return StbFailure();
    if (Check checked = CheckSize(kJpeg, width, height, limits))
        return std::move(*checked);

    PixelBuffer pixels = stb::LoadRgba(bytes, length);
    if (pixels.empty())
        return StbFailure();
    if (pixels.width() != width || pixels.height() != height)
        return Corrupt(kJpeg, "its size changed while decoding");
    return pixels;
}

} // namespace tess::decoding
