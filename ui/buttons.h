// The buttons: command buttons (with the form's default and cancel roles), check boxes and the
// option buttons of a group.
#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace tess::ui {

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
    bool press() { return clickInput(onClick); }
    std::function<void()> onClick;

private:
    std::string caption_;
    bool default_ = false, cancel_ = false;
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

} // namespace tess::ui
