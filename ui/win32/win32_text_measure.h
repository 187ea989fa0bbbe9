// The measure of text on the screen: the extent DrawText gives a caption in a font made for
// the screen's DPI, in twips.
#pragma once

#include "ui/controls.h"
#include "ui/win32/dialog_font.h"
#include "ui/win32/win32_metrics.h"

namespace tess::ui::win32 {

class Win32TextMeasure : public TextMeasure {
public:
    // Measures the windows' own font with a copy of its own, so that forms may keep the
    // measure after the host that made it is gone.
    Win32TextMeasure(ScreenMeasure screen, const DialogFontChoice& windowFont)
        : screen_(screen), windowFont_(CreateDialogFont(windowFont)) {}
    TwipsSize extent(const FontSpec* font, const std::string& text,
                     double wrapWidth) const override;

private:
    ScreenMeasure screen_;
    platform::win32::UniqueFont windowFont_;
};

} // namespace tess::ui::win32
