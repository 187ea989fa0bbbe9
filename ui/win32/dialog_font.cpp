// Choosing the windows' font where the program runs: each candidate's captions drawn black on
// white in colour and in one bit a pixel, and their ink found in the pixels read back.
#include "ui/win32/dialog_font.h"

#include <algorithm>

#include "ui/win32/win32_bitmaps.h"

namespace tess::ui::win32 {

using platform::win32::SelectedObject;
using platform::win32::UniqueFont;
using platform::win32::WindowDc;

namespace {

// The windows' measures were made for the 8-point raster dialog face at 96 DPI. Its set drawn
// for 120 DPI is proportionally wider and no longer fits them, and none is drawn for more.
constexpr int kDialogPoints = 8;
constexpr int kRasterDpi = 96;
constexpr const char* kRasterFace = "MS Sans Serif";
// The scalable face both Windows and Wine ship, drawn from 8 points down to 6.
constexpr const char* kScalableFace = "Tahoma";
constexpr int kSmallestPoints = 6;

LOGFONTA FontRequest(const DialogFontChoice& choice) {
    LOGFONTA font{};
    font.lfHeight = -choice.heightPx;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    if (choice.raster) font.lfOutPrecision = OUT_RASTER_PRECIS;
    lstrcpynA(font.lfFaceName, choice.face.c_str(), LF_FACESIZE);
    return font;
}

// Whether the font mapper gives the raster face itself at this DPI. Asked for a face it lacks, it
// hands back a scalable substitute, and asked at another DPI a raster size made for another
// height, neither of which fits the boxes.
bool RasterFaceAt(const ScreenMeasure& screen, const DialogFontChoice& raster) {
    if (screen.dpiX != kRasterDpi || screen.dpiY != kRasterDpi) return false;
    const UniqueFont font = CreateDialogFont(raster);
    WindowDc dc(nullptr);
    if (!font || !dc.get()) return false;
    SelectedObject selected(dc.get(), font.get());
    char face[LF_FACESIZE] = {};
    TEXTMETRICA metrics{};
    if (!GetTextFaceA(dc.get(), LF_FACESIZE, face) || !GetTextMetricsA(dc.get(), &metrics))
        return false;
    // A raster font's pitch bits say neither vector nor TrueType, and its digitised aspect is
    // the DPI it was drawn for.
    const bool isRaster = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0;
    return lstrcmpiA(face, raster.face.c_str()) == 0 && isRaster &&
           metrics.tmDigitizedAspectY == screen.dpiY &&
           metrics.tmHeight - metrics.tmInternalLeading == raster.heightPx;
}

// The box of the pixels a drawing left, relative to where the layout's box began; empty
// (right <= left) when it left none.
struct Ink {
    LONG left = 0, top = 0, right = 0, bottom = 0;
    bool any() const { return right > left; }
    void add(LONG x, LONG y) {
        if (!any()) {
            *this = {x, y, x + 1, y + 1};
            return;
        }
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x + 1);
        bottom = std::max(bottom, y + 1);
    }
};

// A caption's layout and ink in one font, both ways the system draws it.
struct Drawn {
    SIZE layout{};
    Ink colour, mono;
};

Drawn Draw(HDC screen, HFONT font, const std::string& text, UINT format, int wrapWidth) {
    Drawn drawn;
    {
        SelectedObject selected(screen, font);
        RECT box{0, 0, wrapWidth, 0};
        DrawTextA(screen, text.c_str(), -1, &box, format | DT_CALCRECT | DT_EXPANDTABS);
        drawn.layout = {box.right - box.left, box.bottom - box.top};
    }
    // Drawn unclipped with a line's room all round, black on white.
    const int pad = std::max<LONG>(drawn.layout.cy, 1);
    const int width = drawn.layout.cx + 2 * pad, height = drawn.layout.cy + 2 * pad;
    const auto paint = [&](HDC dc) {
        SelectedObject selected(dc, font);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        RECT box{pad, pad, pad + drawn.layout.cx, pad + drawn.layout.cy};
        DrawTextA(dc, text.c_str(), -1, &box, format | DT_NOCLIP | DT_EXPANDTABS);
        return true;
    };
    // In colour as the screen renders it (smoothed where it smooths), and in one bit a pixel.
    for (const bool mono : {false, true}) {
        const auto pixels = mono ? PaintedOneBitPixels(width, height, paint)
                                 : PaintedPixels(width, height, paint);
        if (!pixels) continue;
        Ink& ink = mono ? drawn.mono : drawn.colour;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((*pixels)[static_cast<size_t>(y) * width + x] != 0xFFFFFF) ink.add(x - pad, y - pad);
    }
    return drawn;
}

} // namespace

std::vector<DialogFontChoice> DialogFontCandidates(const ScreenMeasure& screen) {
    std::vector<DialogFontChoice> candidates;
    const int largest = MulDiv(kDialogPoints, screen.dpiY, 72);
    const int smallest = MulDiv(kSmallestPoints, screen.dpiY, 72);
    if (const DialogFontChoice raster{kRasterFace, largest, true}; RasterFaceAt(screen, raster))
        candidates.push_back(raster);
    for (int height = largest; height >= smallest; --height)
        candidates.push_back({kScalableFace, height, false});
    return candidates;
}

UniqueFont CreateDialogFont(const DialogFontChoice& choice) {
    const LOGFONTA request = FontRequest(choice);
    return UniqueFont(CreateFontIndirectA(&request));
}

SIZE CaptionRoom(ControlKind kind, SIZE client, int dpi, int digitWidth) {
    SIZE room = client;
    switch (kind) {
    case ControlKind::CommandButton:
        room.cx -= 2 * MulDiv(3, dpi, 96);
        room.cy -= 2 * MulDiv(3, dpi, 96);
        break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
        room.cx -= MulDiv(13, dpi, 96) + digitWidth / 2;
        break;
    case ControlKind::Frame:
        room.cx -= 2 * FrameCaptionMargin(dpi);
        break;
    default:
        break;
    }
    return room;
}

std::vector<std::string> CaptionMisfits(const ScreenMeasure& screen, HFONT font,
                                        const std::vector<CaptionBox>& captions) {
    std::vector<std::string> misfits;
    WindowDc dc(nullptr);
    if (!dc.get() || !font) return {"no font to measure in"};
    const int digitWidth = Draw(dc.get(), font, "0", DT_SINGLELINE, 0).layout.cx;
    for (const CaptionBox& caption : captions) {
        const SIZE box{screen.pixelsX(caption.widthTwips), screen.pixelsY(caption.heightTwips)};
        SIZE room = CaptionRoom(caption.kind, box, screen.dpiY, digitWidth);
        // The system draws the captions of these through a mask when they are disabled.
        const bool masked = caption.kind == ControlKind::CommandButton ||
                            caption.kind == ControlKind::CheckBox ||
                            caption.kind == ControlKind::OptionButton;
        const Drawn drawn = caption.wraps ? Draw(dc.get(), font, caption.text, DT_WORDBREAK, room.cx)
                                          : Draw(dc.get(), font, caption.text, 0, 0);
        if (caption.autoSize) {
            // The box is made as large as the laid-out text, in twips and back.
            room.cy = screen.pixelsY(screen.twipsY(drawn.layout.cy));
            if (!caption.wraps) room.cx = screen.pixelsX(screen.twipsX(drawn.layout.cx));
        }
        LONG left = 0, top = 0, right = drawn.layout.cx, bottom = drawn.layout.cy;
        for (const Ink* ink : {&drawn.colour, &drawn.mono}) {
            if (!ink->any()) continue;
            left = std::min(left, ink->left);
            top = std::min(top, ink->top);
            right = std::max(right, ink->right);
            bottom = std::max(bottom, ink->bottom);
        }
        const Ink& mono = drawn.mono;
        const bool cut = masked && mono.any() &&
                         (mono.left < 0 || mono.top < 0 || mono.right > drawn.layout.cx ||
                          mono.bottom > drawn.layout.cy);
        if (right - left > room.cx || bottom - top > room.cy || cut)
            misfits.push_back("\"" + caption.text + "\" " + std::to_string(right - left) + "x" +
                              std::to_string(bottom - top) + " in " + std::to_string(room.cx) +
                              "x" + std::to_string(room.cy) + (cut ? " cut by its mask" : ""));
    }
    return misfits;
}

DialogFontChoice ChooseDialogFont(const ScreenMeasure& screen,
                                  const std::vector<CaptionBox>& captions) {
    const std::vector<DialogFontChoice> candidates = DialogFontCandidates(screen);
    for (const DialogFontChoice& candidate : candidates) {
        const UniqueFont font = CreateDialogFont(candidate);
        if (font && CaptionMisfits(screen, font.get(), captions).empty()) return candidate;
    }
    return candidates.back();
}

} // namespace tess::ui::win32
