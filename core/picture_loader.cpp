// Decoding pictures through one table of formats: each row names a format, tells it by its
// signature, reads its header's size and decodes it (bitmap_decoder.cpp, gif_decoder.cpp,
// jpeg_decoder.cpp, png_decoder.cpp). Adding a format is one row here and one decoder.
#include "picture_loader.h"

#include <algorithm>
#include <cstring>
#include <new>
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

struct Format {
    const char* name;  // in messages
    bool (*signature)(const uint8_t* bytes, size_t size);
    Result<PictureSize> (*inspect)(const uint8_t* bytes, size_t size, const PictureLimits& limits);
    Result<PixelBuffer> (*decode)(const uint8_t* bytes, size_t size, const PictureLimits& limits);
};

bool StartsWith(const uint8_t* bytes, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(bytes, signature, length) == 0;
}

constexpr Format kFormats[] = {
    {"GIF",
     [](const uint8_t* b, size_t n) { return StartsWith(b, n, "GIF87a", 6) || StartsWith(b, n, "GIF89a", 6); },
     decoding::InspectGif, decoding::DecodeGif},
    {"JPEG", [](const uint8_t* b, size_t n) { return StartsWith(b, n, "\xFF\xD8\xFF", 3); },
     decoding::InspectJpeg, decoding::DecodeJpeg},
    {"PNG", [](const uint8_t* b, size_t n) { return StartsWith(b, n, "\x89PNG\r\n\x1A\n", 8); },
     decoding::InspectPng, decoding::DecodePng},
    {"bitmap", [](const uint8_t* b, size_t n) { return StartsWith(b, n, "BM", 2); },
     decoding::InspectBitmap, decoding::DecodeBitmap},
};

Error OutOfMemory() { return Error{ErrorCode::OutOfMemory, "Not enough memory to decode the picture"}; }

// "GIF, JPEG, PNG or bitmap": the formats' names as a list, for the message of a file that is none.
std::string FormatNames() {
    std::string names;
    const size_t count = std::size(kFormats);
    for (size_t i = 0; i < count; ++i)
        names += (i == 0 ? "" : i + 1 == count ? " or " : ", ") + std::string(kFormats[i].name);
    return names;
}

// What every input goes through before its format's reader sees it.
Result<const Format*> Recognise(const uint8_t* bytes, size_t size) {
    if (size == 0)
        return Error{ErrorCode::NotAPicture, "The file is empty"};
    if (!bytes)
        return Error{ErrorCode::InvalidArgument, "No bytes to decode"};
    if (size > kMaxPictureFileBytes)
        return Error{ErrorCode::PictureTooLarge, "The picture file is too large"};
    for (const Format& format : kFormats)
        if (format.signature(bytes, size))
            return &format;
    return Error{ErrorCode::NotAPicture, "The file is not a " + FormatNames() + " picture"};
}

Result<PixelBuffer> Decode(const Format& format, const uint8_t* bytes, size_t size,
                           const PictureLimits& limits) {
    const PictureLimits clamped{std::min(limits.maxSide, kMaxPictureSide),
                                std::min(limits.maxPixels, kMaxPicturePixels)};
    try {
        // Opened first, so that its stats and budget cover this whole decode, whoever decodes.
        // The pixel buffer outlives it.
        stb::AllocationScope scope;
        Result<PixelBuffer> pixels = format.decode(bytes, size, clamped);
        // Whatever a decoder makes of a refused allocation, the cause is the memory.
        if (!pixels && scope.stats().refused)
            return OutOfMemory();
        return pixels;
    } catch (const stb::AssertionFailure&) {
        return decoding::Corrupt(format.name, "the decoder found it inconsistent");
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

} // namespace

Result<PictureSize> InspectPicture(const uint8_t* bytes, size_t size) {
    const Result<const Format*> format = Recognise(bytes, size);
    if (!format)
        return format.error();
    return format.value()->inspect(bytes, size, PictureLimits{});
}

Result<PixelBuffer> DecodePixels(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    const Result<const Format*> format = Recognise(bytes, size);
    if (!format)
        return format.error();
    return Decode(*format.value(), bytes, size, limits);
}

Result<Picture> DecodePicture(const uint8_t* bytes, size_t size, const PictureLimits& limits) {
    Result<PixelBuffer> pixels = DecodePixels(bytes, size, limits);
    if (!pixels)
        return pixels.error();
    try {
        return Picture::FromPixels(std::move(pixels).value());
    } catch (const std::bad_alloc&) {
        return OutOfMemory();
    }
}

Result<Picture> DecodePicture(const uint8_t* bytes, size_t size) {
    return DecodePicture(bytes, size, PictureLimits{});
}

} // namespace tess
