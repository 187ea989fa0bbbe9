// The label: a caption with its alignment, wrapping, font and colours, sized to its caption on
// request, with clicks and mouse input.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/color.h"
#include "ui/control.h"
#include "ui/text_measure.h"

namespace tess::ui {

class Label : public Control {
public:
    enum class Align { Left, Right, Center };
    Label(Container* parent, std::string name, TwipsRect rect, std::string caption,
          Align align = Align::Left, int index = -1);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    Align align() const { return align_; }
    void setAlign(Align align);
    // The label's own font; none means the window's.
    const std::optional<FontSpec>& font() const { return font_; }
    void setFont(FontSpec font);
    // Whether the caption wraps onto further lines within the label.
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    // The caption's colour; none means the system's text colour.
    const std::optional<ColorRef>& foreColor() const { return foreColor_; }
    void setForeColor(ColorRef colour);
    // A transparent label shows only its caption over what lies beneath it.
    enum class BackStyle { Transparent, Opaque };
    BackStyle backStyle() const { return backStyle_; }
    void setBackStyle(BackStyle style);
    // A self-sizing label takes the size of its caption as the form's text measure gives it:
    // a word-wrapped one keeps its width and takes the height of the wrapped lines.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    // Sizes a self-sizing label to its caption again (after the form's measure changed).
    void fit();

    // The user's presses and moves over the label, in the label's twips.
    bool mouseDown(int button, int shift, double x, double y) {
        return mouseInput(onMouseDown, button, shift, x, y);
    }
    bool mouseMove(int buttons, int shift, double x, double y) {
        return mouseInput(onMouseMove, buttons, shift, x, y);
    }
    // A user's click: runs onClick unless the label (or a container) is disabled or hidden.
    bool click() { return clickInput(onClick); }
    std::function<void()> onClick;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;

private:
    std::string caption_;
    Align align_;
    std::optional<FontSpec> font_;
    bool wordWrap_ = false;
    std::optional<ColorRef> foreColor_;
    BackStyle backStyle_ = BackStyle::Opaque;
    bool autoSize_ = false;
};

} // namespace tess::ui
