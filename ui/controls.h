// The control model every window is written against: forms (with their drawing layer), frames,
// labels, buttons, text and check boxes, option buttons, scroll bars, picture and image boxes,
// file, folder and drive lists and menus, in twips.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/color.h"
#include "core/picture.h"
#include "core/result.h"
#include "core/surface.h"
#include "ui/folder_source.h"

namespace tess::ui {

// The one rectangle type of the window logic: twips, relative to the container's inner area.
struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect&) const = default;
};

enum class ControlKind {
    Form, Frame, Label, CommandButton, TextBox, CheckBox, OptionButton, VScrollBar,
    PictureBox, ImageBox, FileListBox, DirListBox, DriveListBox,
};

// What changed on a control, so that a binding updates only that part of its real window.
enum class Property {
    Rect, Caption, Text, Enabled, Visible, Value, Range, BackColor, Picture, Image, ZOrder, Font,
    ForeColor, BackStyle, Drawing, TopMost, Alignment, WordWrap, Locked, Default, Border,
};

// Mouse buttons and shift keys as the input handlers receive them: a press names one button, a
// move every button held down.
inline constexpr int kLeftButton = 1, kRightButton = 2, kMiddleButton = 4;
inline constexpr int kShiftKey = 1, kCtrlKey = 2, kAltKey = 4;

// A press or move of the mouse: button(s), shift keys, and the position in twips of the
// control's (or form's inner) area.
using MouseHandler = std::function<void(int button, int shift, double x, double y)>;

// A binding's counterpart of one control; the model tells it what changed. A binding that is
// asked to show a value never reports it back as a user's change.
class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual void propertyChanged(Property what) = 0;
};

class Container;
class Form;

class Control {
public:
    Control(ControlKind kind, Container* parent, std::string name, TwipsRect rect, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    // The name the window logic uses; members of a control array carry their index too.
    const std::string& name() const { return name_; }
    int index() const { return index_; }
    Container* parent() const { return parent_; }

    const TwipsRect& rect() const { return rect_; }
    void setRect(const TwipsRect& rect);
    void setLeft(double v) { setRect({v, rect_.top, rect_.width, rect_.height}); }
    void setTop(double v) { setRect({rect_.left, v, rect_.width, rect_.height}); }
    void setWidth(double v) { setRect({rect_.left, rect_.top, v, rect_.height}); }
    void setHeight(double v) { setRect({rect_.left, rect_.top, rect_.width, v}); }

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);
    // Whether input reaches the control: it and every container up to the form are enabled and
    // visible. A disabled frame keeps its children from receiving input.
    bool acceptsInput() const;

    // Tab order among the form's controls; lower first, equal in creation order.
    int tabIndex() const { return tabIndex_; }
    void setTabIndex(int i) { tabIndex_ = i; }
    // Puts the control in front of (behind) its siblings.
    void bringToFront();
    void sendToBack();
    // The form the control lies on; the form itself for a form.
    Form* form();

    void setPeer(ControlPeer* peer) { peer_ = peer; }
    ControlPeer* peer() const { return peer_; }

protected:
    void notify(Property what) {
        if (peer_) peer_->propertyChanged(what);
    }

private:
    ControlKind kind_;
    Container* parent_;
    std::string name_;
    int index_;
    TwipsRect rect_;
    bool enabled_ = true;
    bool visible_ = true;
    int tabIndex_ = 0;
    ControlPeer* peer_ = nullptr;
};

// A control that holds others; its children's rectangles are relative to its inner area.
class Container : public Control {
public:
    using Control::Control;
    // Children in z-order, the front one last.
    const std::vector<Control*>& children() const { return children_; }

private:
    friend class Control;
    std::vector<Control*> children_;
};

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
    bool mouseDown(int button, int shift, double x, double y);
    bool mouseMove(int buttons, int shift, double x, double y);
    // A user's click: runs onClick unless the label (or a container) is disabled or hidden.
    bool click();
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

class Frame : public Container {
public:
    Frame(Container* parent, std::string name, TwipsRect rect, std::string caption);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

class CommandButton : public Control {
public:
    CommandButton(Container* parent, std::string name, TwipsRect rect, std::string caption);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    // Enter presses the default button, Esc the cancel button of the form.
    bool isDefault() const { return default_; }
    void setDefault(bool on);
    bool isCancel() const { return cancel_; }
    void setCancel(bool on) { cancel_ = on; }

    // A press by the user: runs onClick when input reaches the button.
    bool press();
    std::function<void()> onClick;

private:
    std::string caption_;
    bool default_ = false, cancel_ = false;
};

class TextBox : public Control {
public:
    TextBox(Container* parent, std::string name, TwipsRect rect, std::string text = {});
    const std::string& text() const { return text_; }
    // Runs onChange when the text really changes, whoever changed it.
    void setText(std::string text);
    bool locked() const { return locked_; }
    void setLocked(bool on);
    // Typing by the user: replaces the text when input reaches the box and it is not locked.
    bool type(std::string text);
    std::function<void()> onChange;

private:
    std::string text_;
    bool locked_ = false;
};

class CheckBox : public Control {
public:
    CheckBox(Container* parent, std::string name, TwipsRect rect, std::string caption,
             int value = 0);
    const std::string& caption() const { return caption_; }
    // 0 unchecked, 1 checked. Runs onClick when the value really changes.
    int value() const { return value_; }
    void setValue(int value);
    // A click by the user toggles the box.
    bool press();
    std::function<void()> onClick;

private:
    std::string caption_;
    int value_;
};

// One button of an option group. The buttons with the same container form a group: setting one
// clears the others (before the new one's click handler runs).
class OptionButton : public Control {
public:
    OptionButton(Container* parent, std::string name, TwipsRect rect, std::string caption,
                 int index = -1);
    const std::string& caption() const { return caption_; }
    bool value() const { return value_; }
    // Setting True clears the others of the group and runs onClick when it was not already
    // set; setting False only clears it.
    void setValue(bool on);
    bool press();
    std::function<void()> onClick;

private:
    std::string caption_;
    bool value_ = false;
};

// A vertical scroll bar: the minimum at the top. Values are clamped to the range.
class VScrollBar : public Control {
public:
    VScrollBar(Container* parent, std::string name, TwipsRect rect, int min, int max,
               int smallChange, int largeChange, int value);
    int min() const { return min_; }
    int max() const { return max_; }
    int smallChange() const { return small_; }
    int largeChange() const { return large_; }
    int value() const { return value_; }
    // Clamps to the range and runs onChange when the value really changes.
    void setValue(int value);

    // The user's gestures. Arrows and page clicks change the value and fire Change; dragging
    // the thumb moves the value and fires Scroll, and the release fires Change once.
    bool lineBy(int direction);   // -1 up, +1 down
    bool pageBy(int direction);
    bool dragTo(int value);
    bool release();

    std::function<void()> onChange;
    std::function<void()> onScroll;

private:
    int clamp(int v) const;
    int min_, max_, small_, large_, value_;
    bool dragging_ = false;
    int dragStart_ = 0;
};

// A drawing surface with a retained image, a back colour, and (for a self-sizing box) the
// picture assigned to it. Its scale is twips unless the logic gives the surface one of its own.
class PictureBox : public Container {
public:
    PictureBox(Container* parent, std::string name, TwipsRect rect, ColorRef backColor);
    ColorRef backColor() const { return backColor_; }
    // Sets the back colour and fills the box with it, even when the colour stays the same (the
    // fill is a change of the image, as clear is); -1 is refused with an error.
    Status setBackColor(ColorRef colour);
    bool border() const { return border_; }
    void setBorder(bool on);

    // The retained image; the logic draws on it and then calls refresh.
    Surface& surface() { return surface_; }
    const Surface& surface() const { return surface_; }
    void setSurface(Surface surface);
    void refresh() { notify(Property::Image); }
    void clear();

    // The picture assigned to the box: a self-sizing box takes its size in twips at the
    // screen's twips per pixel.
    const std::shared_ptr<const Picture>& picture() const { return picture_; }
    void setPicture(std::shared_ptr<const Picture> picture, double twipsPerPixel);
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on) { autoSize_ = on; }
    std::function<void()> onClick;

private:
    ColorRef backColor_;
    bool border_ = false;
    bool autoSize_ = false;
    Surface surface_;
    std::shared_ptr<const Picture> picture_;
};

// Shows a picture, stretched to the box or at its natural size; transparent parts of the
// picture let what lies below show.
class ImageBox : public Control {
public:
    ImageBox(Container* parent, std::string name, TwipsRect rect, bool stretch, int index = -1);
    bool stretch() const { return stretch_; }
    bool border() const { return border_; }
    void setBorder(bool on);
    const std::shared_ptr<const Picture>& picture() const { return picture_; }
    // A box that does not stretch takes the picture's natural size in twips.
    void setPicture(std::shared_ptr<const Picture> picture, double twipsPerPixel);
    bool press();
    std::function<void()> onClick;
    std::function<void()> onDblClick;

private:
    bool stretch_;
    bool border_ = false;
    std::shared_ptr<const Picture> picture_;
};

// The files of a folder that match a pattern, in the order the system lists them (by name,
// without regard to case). Selecting an entry, by the user or by code, runs onClick.
class FileListBox : public Control {
public:
    FileListBox(Container* parent, std::string name, TwipsRect rect, FolderSource& folders);
    const std::string& path() const { return path_; }
    // Sets the folder and lists it again; a folder that cannot be listed leaves the list empty
    // and is reported.
    Status setPath(std::string folder);
    const std::string& pattern() const { return pattern_; }
    void setPattern(std::string pattern);
    // Lists the folder again; the selection is cleared.
    Status refresh();
    const std::vector<std::string>& entries() const { return entries_; }
    int listCount() const { return static_cast<int>(entries_.size()); }
    // The selected entry, -1 for none.
    int listIndex() const { return listIndex_; }
    // Selects an entry (-1 clears the selection); runs onClick when another entry is selected.
    void setListIndex(int index);
    // The user's single and double clicks on an entry.
    bool click(int index);
    bool doubleClick(int index);
    std::function<void()> onClick;
    std::function<void()> onDblClick;

private:
    FolderSource& folders_;
    std::string path_;
    std::string pattern_ = "*.*";
    std::vector<std::string> entries_;
    int listIndex_ = -1;
};

// A folder's place in the file system as a list: the drive's root and each folder down to the
// open one, then the open folder's subfolders. Opening a row (the user's double click) or
// setting the path by code changes the open folder; onChange runs when it really changes.
class DirListBox : public Control {
public:
    struct Row {
        std::string name;  // "C:\" for the root, else the folder's own name
        std::string path;  // the full path the row opens
        int depth = 0;     // 0 for the root
        bool open = false; // the root and the folders down to the open one
    };
    DirListBox(Container* parent, std::string name, TwipsRect rect, FolderSource& folders);
    // The open folder: "C:\" for a root, otherwise without a trailing backslash.
    const std::string& path() const { return path_; }
    // Opens a folder: absolute ("C:\Program Files"), a drive alone ("C:" opens that drive's
    // current folder), rooted on the open drive ("\Temp") or relative to the open folder. A
    // folder that does not exist or cannot be read is refused with an error and the list stays
    // as it was.
    Status setPath(const std::string& path);
    // Lists the open folder again; a folder that can no longer be read is an error.
    Status refresh();
    const std::vector<Row>& rows() const { return rows_; }
    // The row of the open folder.
    int openRow() const;
    // The user's double click on a row: opens that row's folder.
    Status open(int row);
    std::function<void()> onChange;

private:
    Result<std::string> resolve(const std::string& path) const;
    FolderSource& folders_;
    std::string path_;
    std::vector<Row> rows_;
};

// The system's drives, one selected. Each entry reads "c:", followed by " [description]" for a
// drive that has a label or a share name. onChange runs when the selected drive changes.
class DriveListBox : public Control {
public:
    // Lists the drives and selects the drive of the system's current folder (else the first).
    DriveListBox(Container* parent, std::string name, TwipsRect rect, FolderSource& folders);
    const std::vector<std::string>& entries() const { return entries_; }
    int listIndex() const { return listIndex_; }
    // The selected entry, e.g. "c: [system]"; empty when there are no drives.
    std::string drive() const;
    // Selects the drive named by the first letter of `drive` ("C:\Program Files" selects c:),
    // without regard to case. A letter with no drive is refused with an error. Whether the
    // drive can be read is not tested here: the folder list tells when it opens it.
    Status setDrive(const std::string& drive);
    // The user's pick of an entry.
    bool pick(int index);
    // Reads the drives again, keeping the selected one when it is still there.
    void refresh();
    std::function<void()> onChange;

private:
    void select(int index);
    FolderSource& folders_;
    std::vector<platform::DriveInfo> drives_;
    std::vector<std::string> entries_;
    int listIndex_ = -1;
};

class MenuItem {
public:
    // A caption of "-" makes a separator.
    MenuItem(std::string name, std::string caption);
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    bool separator() const { return caption_ == "-"; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    void add(MenuItem& child) {
        child.parent_ = this;
        children_.push_back(&child);
    }
    const std::vector<MenuItem*>& children() const { return children_; }
    // A pick by the user: runs onClick when the item and its menu are enabled.
    bool pick();

    void setPeer(ControlPeer* peer) { peer_ = peer; }
    std::function<void()> onClick;

private:
    std::string name_, caption_;
    bool enabled_ = true;
    std::vector<MenuItem*> children_;
    MenuItem* parent_ = nullptr;
    ControlPeer* peer_ = nullptr;
};

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
    bool mouseDown(int button, int shift, double x, double y);
    bool mouseMove(int buttons, int shift, double x, double y);
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

    // The user's close request (the close box, or a close message).
    std::function<void()> onUnload;
    void requestClose() {
        if (onUnload) onUnload();
    }

private:
    void collectButtons(const Container& c, bool cancel, CommandButton*& found) const;
    void fitLabels(Container& c);
    void record(DrawOp op);
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
