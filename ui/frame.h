// The frame: a captioned container that groups controls on a form; disabling or hiding it
// keeps its children from input.
#pragma once

#include <string>

#include "ui/control.h"

namespace tess::ui {

class Frame : public Container {
public:
    Frame(Container* parent, std::string name, TwipsRect rect, std::string caption);
    const std::string& caption() const { return caption_; }
    void setCaption(std::string caption);

private:
    std::string caption_;
};

} // namespace tess::ui
