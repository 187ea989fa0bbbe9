// What the picture loader and its decoders of our own share: the error values they give and the
// check of an announced size against the limits. Only the loader's own files include this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "picture_loader.h"
#include "pixel_buffer.h"

namespace tess::decoding {

using Check = std::optional<Error>;

// `format` names the format in messages, as the loader's table of formats does.
Error Corrupt(const char* format, const std::string& detail);
Error Truncated(const char* format);
Error Unsupported(const char* format, const std::string& what);

// The announced size against the limits, in 64 bits (the Windows build is a 32-bit process).
Check CheckSize(const char* format, int64_t width, int64_t height, const PictureLimits& limits);

// Windows bitmaps (bytes starting with "BM"), every header version, uncompressed, with colour
// masks or run-length encoded.
Result<Picture> DecodeBitmap(const uint8_t* bytes, size_t size, const PictureLimits& limits);
Result<PictureSize> InspectBitmap(const uint8_t* bytes, size_t size, const PictureLimits& limits);

// JPEGs (bytes starting with FF D8 FF), baseline and progressive, decoded by stb_image after a
// walk through their markers; inspection walks the markers to the end.
Result<Picture> DecodeJpeg(const uint8_t* bytes, size_t size, const PictureLimits& limits);
Result<PictureSize> InspectJpeg(const uint8_t* bytes, size_t size, const PictureLimits& limits);

// The first image of a GIF laid on its logical screen, clipped to it.
Result<Picture> DecodeGif(const uint8_t* bytes, size_t size, const PictureLimits& limits);
// The logical screen's size, which is the picture's.
Result<PictureSize> InspectGif(const uint8_t* bytes, size_t size, const PictureLimits& limits);

} // namespace tess::decoding
