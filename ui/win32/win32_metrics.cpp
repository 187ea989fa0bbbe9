// The screen's measure: DPI from the screen's device context or a window's monitor, twips
// rounded to pixels, fonts created at a point size scaled for the DPI.
#include "ui/win32/win32_metrics.h"

#include <cmath>

namespace tess::ui::win32 {

using platform::win32::SelectedObject;
using platform::win32::UniqueFont;
using platform::win32::WindowDc;

void DeclareDpiAware() { SetProcessDPIAware(); }

int ToPixels(double units, double unitsPerPixel) {
    if (unitsPerPixel <= 0) return 0;
    return static_cast<int>(std::lround(units / unitsPerPixel));
}

ScreenMeasure ScreenMeasure::OfScreen() {
    WindowDc screen(nullptr);
    ScreenMeasure m;
    if (screen.get()) {
        const int x = GetDeviceCaps(screen.get(), LOGPIXELSX);
        const int y = GetDeviceCaps(screen.get(), LOGPIXELSY);
        if (x > 0) m.dpiX = x;
        if (y > 0) m.dpiY = y;
    }
    return m;
}

namespace {

// The calls of per-monitor DPI, which systems before Windows 10 (1607) lack: taken from user32
// when it has them, so that the programs still start on those systems.
template <typename Call>
Call User32Call(const char* name) {
    static const HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

} // namespace

int WindowDpi(HWND window, int otherwise) {
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto call = User32Call<GetDpiForWindowCall>("GetDpiForWindow");
    const UINT dpi = call && window ? call(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : otherwise;
}

int SystemMetricAt(int index, int dpi) {
    using GetSystemMetricsForDpiCall = int(WINAPI*)(int, UINT);
    static const auto call = User32Call<GetSystemMetricsForDpiCall>("GetSystemMetricsForDpi");
    return call ? call(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

void AdjustWindowRectAt(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
    using AdjustCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto call = User32Call<AdjustCall>("AdjustWindowRectExForDpi");
    if (!call || !call(&rect, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle);
}

UniqueFont CreatePointFont(const ScreenMeasure& screen, const std::string& face, double points,
                           bool bold) {
    LOGFONTA font{};
    // A negative height asks for the character height, which is what a point size measures.
    font.lfHeight = -static_cast<LONG>(std::lround(points * screen.dpiY / 72.0));
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynA(font.lfFaceName, face.c_str(), LF_FACESIZE);
    return UniqueFont(CreateFontIndirectA(&font));
}

} // namespace tess::ui::win32
