// Composing a form's artwork: the back colour and the picture through the engine's exact
// picture drawing, then each drawing step with GDI (pens in pixels, fonts at the screen's DPI).
#include "ui/win32/win32_form_canvas.h"

#include <algorithm>

#include "core/surface.h"
#include "ui/win32/win32_bitmaps.h"

namespace tess::ui::win32 {

using platform::win32::DeleteObjectRelease;
using platform::win32::SelectedObject;
using platform::win32::UniqueBrush;
using platform::win32::UniqueFont;
using platform::win32::UniqueHandle;
using platform::win32::WindowDc;

bool FormCanvas::Shows(const Form& form) {
    return form.backColor().has_value() || (form.picture() && !form.picture()->empty()) ||
           !form.drawing().empty();
}

void FormCanvas::copyTo(HDC dc, const RECT& dest, POINT source, const Form& form,
                        const ScreenMeasure& screen, SIZE client) {
    if (stale_ || client.cx != size_.cx || client.cy != size_.cy) compose(form, screen, client);
    if (!dc_) return;
    BitBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, dc_.get(),
           source.x, source.y, SRCCOPY);
}

void FormCanvas::compose(const Form& form, const ScreenMeasure& screen, SIZE client) {
    stale_ = false;
    const int w = std::max<LONG>(client.cx, 1), h = std::max<LONG>(client.cy, 1);
    if (w != size_.cx || h != size_.cy || !dc_) {
        if (dc_ && original_) SelectObject(dc_.get(), original_);
        dc_.reset();
        bitmap_.reset();
        const BITMAPINFO info = TopDownFormat(w, h);
        WindowDc screenDc(nullptr);
        bitmap_.reset(CreateDIBSection(screenDc.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
        if (!bitmap_) return;
        dc_.reset(CreateCompatibleDC(screenDc.get()));
        if (!dc_) return;
        original_ = SelectObject(dc_.get(), bitmap_.get());
        size_ = SIZE{w, h};
    }

    // The picture is drawn at its natural size, 15 twips a pixel, like every length of the
    // form: at 96 DPI pixel for pixel.
    Surface base(w, h, screen.twipsPerPixelX());
    const ColorRef back = form.backColor().value_or(
        static_cast<ColorRef>(GetSysColor(COLOR_BTNFACE) & 0xFFFFFF));
    (void)base.setBackColor(back);
    if (const auto& picture = form.picture(); picture && !picture->empty())
        base.drawPicture(*picture, 0, 0, picture->width() * kTwipsPerPixel96,
                         picture->height() * kTwipsPerPixel96);
    GdiFlush();
    auto* out = static_cast<uint32_t*>(bits_);
    const std::vector<uint8_t>& rgb = base.pixels();
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
        out[i] = (uint32_t{rgb[i * 3]} << 16) | (uint32_t{rgb[i * 3 + 1]} << 8) | rgb[i * 3 + 2];

    for (const DrawOp& op : form.drawing()) drawStep(op, screen);
    GdiFlush();
}

void FormCanvas::drawStep(const DrawOp& op, const ScreenMeasure& screen) {
    HDC dc = dc_.get();
    const int x = screen.pixelsX(op.x1), y = screen.pixelsY(op.y1);
    switch (op.kind) {
    case DrawOp::Kind::Line: {
        UniqueHandle<HPEN, DeleteObjectRelease> pen(
            CreatePen(PS_SOLID, op.width, static_cast<COLORREF>(op.color)));
        SelectedObject selected(dc, pen.get());
        MoveToEx(dc, x, y, nullptr);
        LineTo(dc, screen.pixelsX(op.x2), screen.pixelsY(op.y2));
        break;
    }
    case DrawOp::Kind::Circle: {
        UniqueHandle<HPEN, DeleteObjectRelease> pen(
            CreatePen(PS_SOLID, op.width, static_cast<COLORREF>(op.color)));
        UniqueBrush fill(op.fill ? CreateSolidBrush(static_cast<COLORREF>(*op.fill)) : nullptr);
        SelectedObject selectedPen(dc, pen.get());
        SelectedObject selectedBrush(dc, fill ? static_cast<HGDIOBJ>(fill.get())
                                              : GetStockObject(NULL_BRUSH));
        const int rx = screen.pixelsX(op.radius), ry = screen.pixelsY(op.radius);
        Ellipse(dc, x - rx, y - ry, x + rx + 1, y + ry + 1);
        break;
    }
    case DrawOp::Kind::Print: {
        UniqueFont font = CreatePointFont(screen, op.font.name, op.font.points, op.font.bold);
        SelectedObject selected(dc, font ? static_cast<HGDIOBJ>(font.get())
                                         : GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, static_cast<COLORREF>(op.color));
        RECT where{x, y, size_.cx, size_.cy};
        DrawTextA(dc, op.text.c_str(), -1, &where, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_NOCLIP |
                                                       DT_EXPANDTABS);
        break;
    }
    }
}

} // namespace tess::ui::win32
