// Collecting a form's captions in the windows' own font: labels, frames, command buttons, check
// boxes and option buttons, inside frames and picture boxes too.
#include "ui/caption_boxes.h"

#include "ui/buttons.h"
#include "ui/label.h"

namespace tess::ui {

const std::string* CaptionOf(const Control& c) {
    switch (c.kind()) {
    case ControlKind::Label: return &static_cast<const Label&>(c).caption();
    case ControlKind::Frame: return &static_cast<const Frame&>(c).caption();
    case ControlKind::CommandButton: return &static_cast<const CommandButton&>(c).caption();
    case ControlKind::CheckBox: return &static_cast<const CheckBox&>(c).caption();
    case ControlKind::OptionButton: return &static_cast<const OptionButton&>(c).caption();
    default: return nullptr;
    }
}

void ForEachControl(const Container& container, const std::function<void(Control&)>& visit) {
    for (Control* child : container.children()) {
        visit(*child);
        if (child->kind() == ControlKind::Frame || child->kind() == ControlKind::PictureBox)
            ForEachControl(static_cast<const Container&>(*child), visit);
    }
}

void AppendCaptionBoxes(const Form& form, std::vector<CaptionBox>& into) {
    ForEachControl(form, [&](const Control& c) {
        const std::string* caption = CaptionOf(c);
        const auto* label = c.kind() == ControlKind::Label ? static_cast<const Label*>(&c) : nullptr;
        // A label in a font of its own keeps it whatever the windows' font.
        if (!caption || caption->empty() || (label && label->font())) return;
        CaptionBox box;
        box.kind = c.kind();
        box.text = *caption;
        box.widthTwips = c.rect().width;
        box.heightTwips = c.rect().height;
        box.wraps = label && label->wordWrap();
        box.autoSize = label && label->autoSize();
        into.push_back(std::move(box));
    });
}

} // namespace tess::ui
