// Decoding GIF, JPEG, PNG and Windows bitmap files into Pictures, with hard limits checked before
// any pixel is decoded so that a hostile file can only ever produce an error value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "picture.h"
#include "pixel_buffer.h"
#include "result.h"

namespace tess {

// Limits on what the loader accepts.
inline constexpr int32_t kMaxPictureSide = 16384;                  // pixels on either side
inline constexpr int64_t kMaxPicturePixels = 64ll * 1024 * 1024;   // width × height
inline constexpr size_t kMaxPictureFileBytes = 256u * 1024 * 1024; // bytes read from a file

// Decodes a picture held in memory: GIF (the first image laid on the logical screen and clipped
// to it, transparent where it draws nothing or draws its transparent colour), JPEG (baseline and
// progressive), PNG (every colour type and bit depth, interlaced or not, with its alpha channel
// or tRNS transparency; 16-bit samples rounded to the nearest 8-bit level; no gamma or colour
// space conversion) or Windows bitmap (OS/2 and Windows headers, 1, 4, 8, 16, 24 or 32 bits per
// pixel, uncompressed, with colour masks or RLE4/RLE8; pixels an RLE bitmap skips are
// transparent, all others opaque). JPEGs are opaque. Every other input is an error value.
Result<Picture> DecodePicture(const uint8_t* bytes, size_t size);

// The size a picture's header announces.
struct PictureSize {
    int32_t width = 0;
    int32_t height = 0;
};

// The size read from the header alone and checked against the loader's limits, with the errors
// DecodePicture gives for the same header (a PNG's header chunk, its CRC checked); a JPEG's
// markers are walked to its end, as before a decode. No pixel is decoded and no pixel buffer
// allocated, so a caller can refuse a picture by its size before paying for it. A size given
// here may still fail to decode.
Result<PictureSize> InspectPicture(const uint8_t* bytes, size_t size);

// Tighter limits for callers that want them (the fuzz target uses them to keep each run small).
// Values above the loader's own limits are clamped to them.
struct PictureLimits {
    int32_t maxSide = kMaxPictureSide;
    int64_t maxPixels = kMaxPicturePixels;
};
Result<Picture> DecodePicture(const uint8_t* bytes, size_t size, const PictureLimits& limits);

// The decoded pixels themselves, as DecodePicture reads them: top-down straight (not
// premultiplied) RGBA, partial alpha as the file gives it. The buffer's block was counted by the
// decode's allocation scope (AllocationScope::LastClosedStats) and outlives it.
Result<PixelBuffer> DecodePixels(const uint8_t* bytes, size_t size,
                                 const PictureLimits& limits = PictureLimits{});

} // namespace tess
