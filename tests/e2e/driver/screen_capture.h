// Reading what another program shows: the pixels of a window's client area, copied from the
// screen after the window has been brought to the front and repainted.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "core/color.h"
#include "core/result.h"

namespace tess::e2e {

struct Capture {
    int32_t width = 0, height = 0;
    std::vector<Rgb> pixels;  // top-down rows

    Rgb at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The client area of `window` as the screen shows it, once it holds still: copies are taken
// until two in a row are alike (at most for two seconds, then the last is taken).
Result<Capture> CaptureClient(HWND window);
// The same for a rectangle of the screen, e.g. a window with the frame around it.
Result<Capture> CaptureScreenArea(const RECT& area);

// What `draw` paints on a fresh width × height bitmap, for comparing with a capture.
Result<Capture> CaptureDrawing(int32_t width, int32_t height, const std::function<bool(HDC)>& draw);

} // namespace tess::e2e
