// Encoding a surface as a Windows bitmap file: 24 bits per pixel, uncompressed, bottom-up rows
// padded to four bytes, 96 DPI.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "surface.h"

namespace tess {

// The complete file contents for the surface's pixels.
std::vector<uint8_t> EncodeBitmap(const Surface& surface);

} // namespace tess
