// Decoding pictures: the format is told by the bytes' signature. GIFs and bitmaps are decoded by
// decoders of our own (gif_decoder.cpp, bitmap_decoder.cpp); JPEGs by stb_image (compiled in
// stb_image_impl.cpp), behind a walker of our own that goes through the file's markers first,
// checking the size the frame header announces against the limits, and refusing what this old
// stb would handle badly: Huffman tables that overflow its arrays (before stb reads even the
// header), JPEGs without image data or with thousands of scans. stb then reads the header again
// (stbi_info), that size is checked again, and only then does stb decode pixels.
#include "picture_loader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>

#include "picture_decoding.h"
#include "stb_image_impl.h"

namespace tess {

namespace decoding {

Error Corrupt(const char* format, const std::string& detail) {
    return Error{ErrorCode::CorruptPicture,
                 std::string("The ") + format + " picture is damaged: " + detail};
}

Error Truncated(const char* format) { return Corrupt(format, "the file ends too early"); }

Error Unsupported(const char* format, const std::string& what) {
    return Error{ErrorCode::CorruptPicture,
                 std::string("The ") + format + " picture cannot be read: " + what +
                     " are not supported"};
}

Check CheckSize(const char* format, int64_t width, int64_t height, const PictureLimits& limits) {
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

} // namespace decoding

namespace {

using stb::Format;
using decoding::Check;
using decoding::Corrupt;
using decoding::Truncated;
using decoding::Unsupported;
using decoding::CheckSize;
using decoding::U16be;

const char* NameOf(Format format) {
    switch (format) {
    case Format::Gif: return "GIF";
    case Format::Jpeg: return "JPEG";
    case Format::Bmp: return "bitmap";
    }
    return "";
}

constexpr const char* kJpeg = "JPEG";

Error OutOfMemory() { return Error{ErrorCode::OutOfMemory, "Not enough memory to decode the picture"}; }

std::optional<Format> Identify(const uint8_t* bytes, size_t size) {
    if (size >= 6 && (std::memcmp(bytes, "GIF87a", 6) == 0 || std::memcmp(bytes, "GIF89a", 6) == 0))
        return Format::Gif;
    if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
        return Format::Jpeg;
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M')
        return Format::Bmp;
    return std::nullopt;
}

// ---- JPEG ---------------------------------------------------------------------------------

// Checks a Huffman table segment: this stb writes a table's symbol counts and values into
// fixed 256-entry arrays without checking that the counts add up to at most 256.
Check CheckJpegHuffmanTables(const uint8_t* d, size_t length) {
    size_t pos = 2;
    while (pos < length) {
        if (length - pos < 17)
            return Corrupt(kJpeg, "bad Huffman table");
        size_t symbols = 0;
        for (size_t i = 1; i <= 16; ++i)
            symbols += d[pos + i];
        if (symbols > 256)
            return Corrupt(kJpeg, "bad Huffman table");
        pos += 17 + symbols;
    }
    return std::nullopt;
}

// Walks the markers from the start to the end marker, before stb reads even the header: Huffman
// tables must fit their arrays, the frame header must announce an acceptable size and come
// before the first scan, there must be a scan, and the number of scans is capped (every scan
// makes stb go over the whole image again, so thousands of tiny scans would keep it busy for
// minutes; 32 scans are always allowed, more for smaller pictures, never more than 1000).
// `size` receives the frame header's size.
Check CheckJpeg(const uint8_t* d, size_t n, const PictureLimits& limits, PictureSize& size) {
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
            return Truncated(kJpeg);
        const uint8_t marker = d[pos++];
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue;
        if (marker == 0xD9) {  // end of image
            if (scans == 0)
                return Corrupt(kJpeg, "it holds no image data");
            return std::nullopt;
        }
        if (n - pos < 2)
            return Truncated(kJpeg);
        const size_t length = U16be(d + pos);
        if (length < 2)
            return Corrupt(kJpeg, "bad segment length");
        if (n - pos < length)
            return Truncated(kJpeg);
        if (marker == 0xC4) {
            if (Check tables = CheckJpegHuffmanTables(d + pos, length))
                return tables;
        } else if (marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                   marker != 0xCC) {
            return Unsupported(kJpeg, "lossless, hierarchical and arithmetic-coded JPEGs");
        } else if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
            if (frame)
                return Corrupt(kJpeg, "it has two frame headers");
            if (length < 8)
                return Corrupt(kJpeg, "bad frame header");
            if (d[pos + 2] != 8)
                return Unsupported(kJpeg, "JPEGs of other than 8 bits per sample");
            const int64_t height = U16be(d + pos + 3), width = U16be(d + pos + 5);
            if (height == 0 && width != 0)
                return Corrupt(kJpeg, "its height is only given after the image data");
            if (Check size = CheckSize(kJpeg, width, height, limits))
                return size;
            frame = true;
            size = PictureSize{static_cast<int32_t>(width), static_cast<int32_t>(height)};
            maxScans = std::clamp<int64_t>((int64_t{1} << 31) / (width * height), 32, 1000);
        } else if (marker == 0xDA) {
            if (!frame)
                return Corrupt(kJpeg, "image data before the frame header");
            if (++scans > maxScans)
                return Corrupt(kJpeg, "too many scans");
        }
        pos += length;
    }
}

// ---- Decoding -----------------------------------------------------------------------------

Error StbFailure(const stb::AllocationScope& scope) {
    const char* reason = stb::FailureReason();
    if (scope.stats().refused || std::strcmp(reason, "outofmem") == 0)
        return OutOfMemory();
    if (std::strcmp(reason, "too large") == 0)
        return Error{ErrorCode::PictureTooLarge, "The JPEG picture is too large to load"};
    return Corrupt(kJpeg, *reason ? std::string("the decoder refused it (") + reason + ")"
                                  : std::string("the decoder refused it"));
}

Result<Picture> DecodeJpeg(const uint8_t* bytes, size_t size, const PictureLimits& limits,
                           const stb::AllocationScope& scope) {
    // Our own look at the structure first: stb is not safe on everything it would be shown.
    PictureSize announced;
    if (Check structure = CheckJpeg(bytes, size, limits, announced))
        return std::move(*structure);

    const int length = static_cast<int>(size);  // size <= kMaxPictureFileBytes < INT_MAX

    // The size as stb reads it, checked again before it decodes a pixel.
    int width = 0, height = 0;
    if (!stb::Info(Format::Jpeg, bytes, length, &width, &height))
        return StbFailure(scope);
    if (Check checked = CheckSize(kJpeg, width, height, limits))
        return std::move(*checked);

    const PixelBuffer pixels = stb::LoadRgba(bytes, length);
    if (pixels.empty())
        return StbFailure(scope);
    if (pixels.width() != width || pixels.height() != height)
        return Corrupt(kJpeg, "its size changed while decoding");
    return Picture::FromRgba(pixels.width(), pixels.height(), pixels.data());
}

Result<Picture> Decode(Format format, const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    // Opened first, so that its stats and budget cover this whole decode, whoever decodes.
    stb::AllocationScope scope;
    switch (format) {
    case Format::Gif: return decoding::DecodeGif(bytes, size, limits);
    case Format::Bmp: return decoding::DecodeBitmap(bytes, size, limits);
    case Format::Jpeg: break;
    }
    return DecodeJpeg(bytes, size, limits, scope);
}

// What every input goes through before its format's reader sees it.
Result<Format> Recognise(const uint8_t* bytes, size_t size) {
    if (size == 0)
        return Error{ErrorCode::NotAPicture, "The file is empty"};
    if (!bytes)
        return Error{ErrorCode::InvalidArgument, "No bytes to decode"};
    if (size > kMaxPictureFileBytes)
        return Error{ErrorCode::PictureTooLarge, "The picture file is too large"};
    const std::optional<Format> format = Identify(bytes, size);
    if (!format)
        return Error{ErrorCode::NotAPicture, "The file is not a GIF, JPEG or bitmap picture"};
    return *format;
}

} // namespace

Result<PictureSize> InspectPicture(const uint8_t* bytes, size_t size) {
    const Result<Format> format = Recognise(bytes, size);
    if (!format)
        return format.error();
    const PictureLimits limits;
    switch (format.value()) {
    case Format::Gif: return decoding::InspectGif(bytes, size, limits);
    case Format::Bmp: return decoding::InspectBitmap(bytes, size, limits);
    case Format::Jpeg: break;
    }
    PictureSize announced;
    if (Check structure = CheckJpeg(bytes, size, limits, announced))
        return std::move(*structure);
    return announced;
}

Result<Picture> DecodePicture(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    const Result<Format> format = Recognise(bytes, size);
    if (!format)
        return format.error();
    const PictureLimits clamped{std::min(limits.maxSide, kMaxPictureSide),
                                std::min(limits.maxPixels, kMaxPicturePixels)};
    try {
        return Decode(format.value(), bytes, size, clamped);
    } catch (const stb::AssertionFailure&) {
        return Corrupt(NameOf(format.value()), "the decoder found it inconsistent");
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

Result<Picture> DecodePicture(const uint8_t* bytes, size_t size) {
    return DecodePicture(bytes, size, PictureLimits{});
}

} // namespace tess
