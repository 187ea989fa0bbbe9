// The screen's measure: twips per pixel from its dots per inch, the rounding of twips to
// pixels at the window boundary, and the system's metrics at a window's DPI.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace tess::ui::win32 {

// Declares the process DPI-aware, so that the system neither scales its windows as bitmaps
// nor lies about the screen's DPI. Call before the first window or device context.
void DeclareDpiAware();

// Nearest whole pixel of a length given in units of `unitsPerPixel` (halves away from zero).
int ToPixels(double units, double unitsPerPixel);

struct ScreenMeasure {
    int dpiX = 96, dpiY = 96;
    double twipsPerPixelX() const { return 1440.0 / dpiX; }
    double twipsPerPixelY() const { return 1440.0 / dpiY; }
    int pixelsX(double twips) const { return ToPixels(twips, twipsPerPixelX()); }
    int pixelsY(double twips) const { return ToPixels(twips, twipsPerPixelY()); }
    // Pixels as the model's twips, unrounded: the model keeps fractions of a twip.
    double twipsX(double pixels) const { return pixels * twipsPerPixelX(); }
    double twipsY(double pixels) const { return pixels * twipsPerPixelY(); }

    // The screen's DPI as its device context reports it.
    static ScreenMeasure OfScreen();
    static ScreenMeasure AtDpi(int dpi) { return ScreenMeasure{dpi, dpi}; }
};

// The DPI of the monitor a window is on, as the system scales it for a program aware of each
// monitor's DPI; `otherwise` where the system knows no DPI per window.
int WindowDpi(HWND window, int otherwise);
// A system metric (SM_CXSMICON, ...) at a DPI, or at the system's where it has no other.
int SystemMetricAt(int index, int dpi);
// AdjustWindowRectEx with the frame of a window at the DPI, where the system draws frames so.
void AdjustWindowRectAt(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);

// A font of `face` at `points` (fractions kept to the nearest pixel) for the screen's DPI.
platform::win32::UniqueFont CreatePointFont(const ScreenMeasure& screen, const std::string& face,
                                            double points, bool bold);

} // namespace tess::ui::win32
