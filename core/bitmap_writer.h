// Writing a surface as a Windows bitmap file: 24 bits per pixel, uncompressed, bottom-up rows
// padded to four bytes, 96 DPI, written beside the target and then moved over it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "result.h"
#include "surface.h"

namespace tess {

// The complete file contents for the surface's pixels.
std::vector<uint8_t> EncodeBitmap(const Surface& surface);

// Writes the bitmap to `path`, replacing an existing file only once the new one is complete, so
// a failed write leaves the old file as it was. Every failure is returned.
Status WriteBitmap(const Surface& surface, const std::string& path);

} // namespace tess
