// Top-down 32-bit device-independent bitmaps: their format, reading back as pixels what a
// drawing paints on a fresh one, and an icon turned into a picture.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/picture.h"

namespace tess::ui::win32 {

// The format of a width × height bitmap of 32-bit pixels, rows from the top down.
BITMAPINFO TopDownFormat(int width, int height);

// What `draw` paints on a fresh width × height bitmap, as 0x00RRGGBB pixels in rows from the
// top down; nothing when the bitmap cannot be made or `draw` reports a failure.
std::optional<std::vector<uint32_t>> PaintedPixels(int width, int height,
                                                   const std::function<bool(HDC)>& draw);
// The same on a monochrome bitmap, one bit a pixel, as the system draws a disabled caption into
// its mask: each pixel black (0) or white (0xFFFFFF).
std::optional<std::vector<uint32_t>> PaintedOneBitPixels(int width, int height,
                                                         const std::function<bool(HDC)>& draw);

// The icon drawn at size × size pixels as a picture; pixels that let the background through
// (more than half) are transparent. Nothing when it cannot be drawn.
std::optional<Picture> IconPicture(HICON icon, int size);

} // namespace tess::ui::win32
