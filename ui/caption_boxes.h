// The captions a form shows in the windows' own font, each with the box it must fit: what a
// binding measures when it chooses the size of that font.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/form.h"

namespace tess::ui {

// The caption of a control that shows one (label, frame, command button, check box, option
// button), or null.
const std::string* CaptionOf(const Control& control);

// Visits every control of the container, and those inside its frames and picture boxes, in order.
void ForEachControl(const Container& container, const std::function<void(Control&)>& visit);

struct CaptionBox {
    ControlKind kind = ControlKind::Label;
    std::string text;
    // The control's size. An autosized label takes the size of its text instead.
    double widthTwips = 0, heightTwips = 0;
    bool wraps = false;     // a label that breaks its caption into lines of the box's width
    bool autoSize = false;  // a label whose box follows its caption
};

// The captions every control of the form shows now in the windows' own font (a label with a
// font of its own has no part in it), in the form's order, appended to `into`.
void AppendCaptionBoxes(const Form& form, std::vector<CaptionBox>& into);
inline std::vector<CaptionBox> CaptionBoxes(const Form& form) {
    std::vector<CaptionBox> captions;
    AppendCaptionBoxes(form, captions);
    return captions;
}

} // namespace tess::ui
