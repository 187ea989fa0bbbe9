// The form: a top-level window's caption, border, picture and back colour, its drawing layer
// (lines, circles, printed text), its keys, mouse input, menus and close request.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/color.h"
#include "core/picture.h"
#include "ui/control.h"
#include "ui/menu_item.h"
#include "ui/text_measure.h"

namespace tess::ui {

class CommandButton;

// One step of a form's drawing, in the form's inner twips, with the colours and pen it was
// drawn with.
struct DrawOp {
    enum class Kind { Line, Circle, Print };
    Kind kind = Kind::Line;
    double x1 = 0, y1 = 0;   // a line's start, a circle's centre, a text's top left
    double x2 = 0, y2 = 0;   // a line's end
    double radius = 0;       // a circle's radius
    ColorRef color = 0;      // the fore colour: line, outline, text
    int width = 1;           // pen width in pixels of lines and outlines
    std::optional<ColorRef> fill;  // a circle's fill; none when the fill is transparent
    std::string text;        // printed text
    FontSpec font;           // printed text's font
    bool operator==(const DrawOp&) const = default;
};

class Form : public Container {
public:
    enum class Border { None, FixedSingle, FixedDialog };
    // `rect` gives the position (the outer top left) and the inner (client) size in twips.
    Form(std::string name, TwipsRect rect, std::string caption, Border border);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    Border borderStyle() const { return border_; }
    bool centred() const { return centred_; }
    void setCentred(bool on) { centred_ = on; }
    bool topMost() const { return topMost_; }
    // Keeps the form above all windows that are not topmost (or no longer).
    void setTopMost(bool on);

    // The outer rectangle: the position and the inner size with the frame around it, which
    // the binding reports (none for a borderless form).
    TwipsRect outerRect() const;
    void setFrameSize(double extraWidth, double extraHeight);
    // Moves the form's outer top left to (left, top), in twips of the screen.
    void move(double left, double top) { setRect({left, top, rect().width, rect().height}); }

    // The back colour under the picture; none means the system's button face.
    const std::optional<ColorRef>& backColor() const { return backColor_; }
    void setBackColor(ColorRef colour);
    // A picture at its natural size (15 twips a pixel) at the top left, covering the back colour.
    const std::shared_ptr<const Picture>& picture() const { return picture_; }
    void setPicture(std::shared_ptr<const Picture> picture);

    // The drawing layer above the picture and below the controls. Drawing uses the fore
    // colour, the pen width in pixels, the fill of circles and the font below; each step is
    // kept, so the drawing stays until cls.
    ColorRef foreColor() const { return foreColor_; }
    void setForeColor(ColorRef colour) { foreColor_ = colour; }
    enum class FillStyle { Solid, Transparent };
    FillStyle fillStyle() const { return fillStyle_; }
    void setFillStyle(FillStyle style) { fillStyle_ = style; }
    ColorRef fillColor() const { return fillColor_; }
    void setFillColor(ColorRef colour) { fillColor_ = colour; }
    int drawWidth() const { return drawWidth_; }
    // Widths below 1 pixel draw 1 pixel wide.
    void setDrawWidth(int pixels) { drawWidth_ = pixels < 1 ? 1 : pixels; }
    const FontSpec& drawFont() const { return drawFont_; }
    void setDrawFont(FontSpec font) { drawFont_ = std::move(font); }
    void setFontName(std::string name) { drawFont_.name = std::move(name); }
    void setFontSize(double points) { drawFont_.points = points; }
    void setFontBold(bool on) { drawFont_.bold = on; }
    // Where the next text is printed.
    double currentX() const { return currentX_; }
    double currentY() const { return currentY_; }
    void setCurrentX(double x) { currentX_ = x; }
    void setCurrentY(double y) { currentY_ = y; }
    // A line from (x1, y1) to (x2, y2); the current position moves to its end.
    void line(double x1, double y1, double x2, double y2);
    // A circle outlined in the fore colour, filled with the fill colour when the fill style is
    // solid; the current position moves to its centre.
    void circle(double x, double y, double radius);
    // Text at the current position in the fore colour, with nothing behind it; the current
    // position moves to the left edge below the text's last line.
    void print(const std::string& text);
    // Clears the drawing (not the picture) and puts the current position at the top left.
    void cls();
    const std::vector<DrawOp>& drawing() const { return drawing_; }

    // The measure of text on this form: the binding's, or an approximate one until a binding
    // gives it one. Setting it sizes the self-sizing labels again.
    const TextMeasure& textMeasure() const;
    void setTextMeasure(std::shared_ptr<const TextMeasure> measure);

    // Keys released while the form is active, before any control sees them: the virtual key
    // code and the shift keys.
    bool keyUp(int keyCode, int shift);
    std::function<void(int keyCode, int shift)> onKeyUp;
    // Presses and moves of the mouse over the form's own background, in its inner twips.
    bool mouseDown(int button, int shift, double x, double y) {
        return mouseInput(onMouseDown, button, shift, x, y);
    }
    bool mouseMove(int buttons, int shift, double x, double y) {
        return mouseInput(onMouseMove, buttons, shift, x, y);
    }
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    // Resource name of the window's icon; empty for none.
    const std::string& icon() const { return icon_; }
    void setIcon(std::string icon) { icon_ = std::move(icon); }

    void addMenu(MenuItem& menu) { menus_.push_back(&menu); }
    const std::vector<MenuItem*>& menus() const { return menus_; }

    // The buttons Enter and Esc press: the first enabled default (cancel) button.
    CommandButton* defaultButton() const;
    CommandButton* cancelButton() const;
    // Keys the user presses in the form; Esc and Enter press those buttons.
    enum class Key { Escape, Enter };
    bool pressKey(Key key);

    // The screen's DPI where the form's window is changed (it moved to another monitor): the
    // form's twips per pixel now. Pictures made for a number of pixels may be made again.
    std::function<void(double twipsPerPixel)> onDpiChanged;
    void dpiChanged(double twipsPerPixel) {
        if (onDpiChanged) onDpiChanged(twipsPerPixel);
    }

    // The user's close request (the close box, or a close message).
    std::function<void()> onUnload;
    void requestClose() {
        if (onUnload) onUnload();
    }

private:
    void collectButtons(const Container& c, bool cancel, CommandButton*& found) const;
    void fitLabels(Container& c);
    // A step in the fore colour and pen width.
    DrawOp stroke(DrawOp::Kind kind) const;
    // Keeps a step and moves the current position to where the step leaves it.
    void record(DrawOp op, double nextX, double nextY);
    std::string caption_;
    Border border_;
    bool centred_ = false, topMost_ = false;
    std::string icon_;
    std::vector<MenuItem*> menus_;
    double frameWidth_ = 0, frameHeight_ = 0;
    std::optional<ColorRef> backColor_;
    std::shared_ptr<const Picture> picture_;
    ColorRef foreColor_ = 0;
    ColorRef fillColor_ = 0;
    FillStyle fillStyle_ = FillStyle::Transparent;
    int drawWidth_ = 1;
    FontSpec drawFont_{"MS Sans Serif", 8.25, false};
    double currentX_ = 0, currentY_ = 0;
    std::vector<DrawOp> drawing_;
    std::shared_ptr<const TextMeasure> measure_;
};

} // namespace tess::ui
