// Measuring captions with DrawText on a screen device context, mnemonic marks and line breaks
// taken as the labels show them.
#include "ui/win32/win32_text_measure.h"

namespace tess::ui::win32 {

using platform::win32::SelectedObject;
using platform::win32::UniqueFont;
using platform::win32::WindowDc;

TwipsSize Win32TextMeasure::extent(const FontSpec* font, const std::string& text,
                                   double wrapWidth) const {
    WindowDc screen(nullptr);
    UniqueFont own;
    if (font) own = CreatePointFont(screen_, font->name, font->points, font->bold);
    HGDIOBJ used = own ? static_cast<HGDIOBJ>(own.get())
                       : windowFont_ ? static_cast<HGDIOBJ>(windowFont_.get())
                                     : GetStockObject(DEFAULT_GUI_FONT);
    SelectedObject selected(screen.get(), used);
    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    RECT box{0, 0, 0, 0};
    if (wrapWidth > 0) {
        format |= DT_WORDBREAK;
        box.right = screen_.pixelsX(wrapWidth);
    }
    // An empty caption still takes one line's height.
    DrawTextA(screen.get(), text.empty() ? " " : text.c_str(), -1, &box, format);
    const double width = text.empty() ? 0 : box.right - box.left;
    return {screen_.twipsX(width), screen_.twipsY(box.bottom - box.top)};
}

} // namespace tess::ui::win32
