// The screen's measure and the dialog font: DPI from the screen's device context, twips
// rounded to pixels, a font created at the point size scaled for the DPI.
#include "ui/win32/win32_metrics.h"

#include <cmath>

namespace tess::ui::win32 {

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

UniqueFont CreateDialogFont(const ScreenMeasure& screen) {
    // 7.5 points: the windows' measures were made for a narrow raster face, and the system's
    // scalable dialog face needs this size to fit the same boxes.
    constexpr int kTenthPoints = 75;
    LOGFONTA font{};
    font.lfHeight = -MulDiv(kTenthPoints, screen.dpiY, 720);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    // The shell's dialog face, which the system maps to its sans-serif dialog font.
    lstrcpynA(font.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
    UniqueFont created(CreateFontIndirectA(&font));
    if (!created) {
        lstrcpynA(font.lfFaceName, "MS Sans Serif", LF_FACESIZE);
        created.reset(CreateFontIndirectA(&font));
    }
    return created;
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
