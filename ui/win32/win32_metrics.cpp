// The screen's measure and the dialog font: DPI from the screen's device context, twips
// rounded to pixels, a font created at the point size scaled for the DPI.
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

// The windows' measures were made for the 8-point raster dialog face at 96 DPI. Its set drawn
// for 120 DPI is proportionally wider and no longer fits them, and none is drawn for more.
constexpr int kDialogPoints = 8;
constexpr int kRasterDpi = 96;
// Elsewhere Tahoma at 6.5 points (11 pixels at 120 DPI, 13 at 144), which both Windows and
// Wine ship. Its captions fit the boxes with a few pixels to spare for Windows' own Tahoma,
// which may measure a pixel wider than Wine's. At 7 points Wine draws some letters a pixel or
// more past their advance when it renders one bit a pixel, and the system's buttons render a
// disabled caption so, into a mask no wider than the advances: a last letter loses its edge.
constexpr const char* kScalableFace = "Tahoma";
constexpr int kScalableTenthPoints = 65;

LOGFONTA DialogFontRequest(const char* face, int heightPx) {
    LOGFONTA font{};
    font.lfHeight = -heightPx;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return font;
}

// The raster "MS Sans Serif" at 96 DPI, or nothing. Asked for a face it lacks, the font
// mapper hands back a scalable substitute, and asked at another DPI a raster size made for
// another height, neither of which fits the boxes.
UniqueFont RasterDialogFont(const ScreenMeasure& screen) {
    if (screen.dpiX != kRasterDpi || screen.dpiY != kRasterDpi) return {};
    LOGFONTA request = DialogFontRequest("MS Sans Serif", MulDiv(kDialogPoints, screen.dpiY, 72));
    request.lfOutPrecision = OUT_RASTER_PRECIS;
    UniqueFont font(CreateFontIndirectA(&request));
    WindowDc dc(nullptr);
    if (!font || !dc.get()) return {};
    SelectedObject selected(dc.get(), font.get());
    char face[LF_FACESIZE] = {};
    TEXTMETRICA metrics{};
    if (!GetTextFaceA(dc.get(), LF_FACESIZE, face) || !GetTextMetricsA(dc.get(), &metrics))
        return {};
    // A raster font's pitch bits say neither vector nor TrueType, and its digitised aspect is
    // the DPI it was drawn for.
    const bool raster = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0;
    const int charHeight = metrics.tmHeight - metrics.tmInternalLeading;
    if (lstrcmpiA(face, request.lfFaceName) != 0 || !raster ||
        metrics.tmDigitizedAspectY != screen.dpiY || charHeight != -request.lfHeight)
        return {};
    return font;
}

} // namespace

UniqueFont CreateDialogFont(const ScreenMeasure& screen) {
    if (UniqueFont raster = RasterDialogFont(screen)) return raster;
    LOGFONTA request =
        DialogFontRequest(kScalableFace, MulDiv(kScalableTenthPoints, screen.dpiY, 720));
    return UniqueFont(CreateFontIndirectA(&request));
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
