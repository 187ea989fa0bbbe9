// Fonts and the measure of text in twips: the interface a binding implements and the
// approximate measure the model uses without one.
#pragma once

#include <string>

namespace tess::ui {

// A font other than the window's own: face, size in points, weight.
struct FontSpec {
    std::string name;
    double points = 8;
    bool bold = false;
    bool operator==(const FontSpec&) const = default;
};

struct TwipsSize {
    double width = 0, height = 0;
    bool operator==(const TwipsSize&) const = default;
};

// Measures text as a window would show it. A null font means the window's own font; a wrap
// width above 0 breaks the text into lines no wider than it.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual TwipsSize extent(const FontSpec* font, const std::string& text,
                             double wrapWidth) const = 0;
};

// A measure for windows without a real one: every character half an em wide, lines 1.2 em
// high (the window's own font taken as 8 points), lines broken at CR LF or LF and, when
// wrapping, between words.
class ApproximateTextMeasure : public TextMeasure {
public:
    TwipsSize extent(const FontSpec* font, const std::string& text,
                     double wrapWidth) const override;
};

} // namespace tess::ui
