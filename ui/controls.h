// The control model every window is written against: forms, frames, labels, buttons, text and
// check boxes, option buttons, scroll bars, picture and image boxes and menus, in twips.
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
};

// A binding's counterpart of one control; the model tells it what changed. A binding that is
// asked to show a value never reports it back as a user's change.
class ControlPeer {
public:
    virtual ~ControlPeer() = default;
    virtual void propertyChanged(Property what) = 0;
};

class Container;

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
    // Puts the control in front of its siblings.
    void bringToFront();

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

class Label : public Control {
public:
    enum class Align { Left, Right, Center };
    Label(Container* parent, std::string name, TwipsRect rect, std::string caption,
          Align align = Align::Left, int index = -1);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    Align align() const { return align_; }
    // The label's own font; none means the window's.
    const std::optional<FontSpec>& font() const { return font_; }
    void setFont(FontSpec font);
    // Whether the caption wraps onto further lines within the label.
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on) { wordWrap_ = on; }
    std::function<void()> onClick;

private:
    std::string caption_;
    Align align_;
    std::optional<FontSpec> font_;
    bool wordWrap_ = false;
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
    void setDefault(bool on) { default_ = on; }
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
    void setLocked(bool on) { locked_ = on; }
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
    // Sets the back colour and fills the box with it; -1 is refused with an error.
    Status setBackColor(ColorRef colour);
    bool border() const { return border_; }
    void setBorder(bool on) { border_ = on; }

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
    void setBorder(bool on) { border_ = on; }
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
    FileListBox(Container* parent, std::string name, TwipsRect rect);
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
    std::string path_;
    std::string pattern_ = "*.*";
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

class Form : public Container {
public:
    enum class Border { None, FixedSingle, FixedDialog };
    // `rect` gives the position and the inner (client) size in twips.
    Form(std::string name, TwipsRect rect, std::string caption, Border border);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);
    Border borderStyle() const { return border_; }
    bool centred() const { return centred_; }
    void setCentred(bool on) { centred_ = on; }
    bool topMost() const { return topMost_; }
    void setTopMost(bool on) { topMost_ = on; }
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
    std::string caption_;
    Border border_;
    bool centred_ = false, topMost_ = false;
    std::string icon_;
    std::vector<MenuItem*> menus_;
};

} // namespace tess::ui
