// The text box: one line of text the user types into unless it is locked, with a handler that
// runs on every real change.
#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace tess::ui {

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

} // namespace tess::ui
