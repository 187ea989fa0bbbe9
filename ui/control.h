// The base of the control model: a control's name, place in twips, enabled and visible state,
// its binding's peer and the change notice; the containers that hold controls, and the frame.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

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
    // Stores a property's new value and tells the binding; false, with nothing told, when the
    // value stays. A setter runs its change handler after this, and only when it returns true.
    template <typename Field, typename Value>
    bool set(Field& field, Value&& value, Property what) {
        if (field == value) return false;
        field = std::forward<Value>(value);
        notify(what);
        return true;
    }
    static void fire(const std::function<void()>& handler) {
        if (handler) handler();
    }
    // A user's click: runs the handler when input reaches the control, and says whether it did.
    bool clickInput(const std::function<void()>& handler) {
        if (!acceptsInput()) return false;
        fire(handler);
        return true;
    }
    // A press or move of the mouse over the control: runs the handler when input reaches the
    // control, and says whether it did.
    bool mouseInput(const MouseHandler& handler, int buttons, int shift, double x, double y) {
        if (!acceptsInput()) return false;
        if (handler) handler(buttons, shift, x, y);
        return true;
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

// The plain container: a caption over a group of controls. Disabling or hiding it keeps its
// children from input.
class Frame : public Container {
public:
    Frame(Container* parent, std::string name, TwipsRect rect, std::string caption);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

} // namespace tess::ui
