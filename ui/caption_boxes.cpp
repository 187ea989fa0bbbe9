// Collecting a form's captions in the windows' own font: labels, frames, command buttons, check
// boxes and option buttons, inside frames and picture boxes too.
#include "ui/caption_boxes.h"

#include "ui/buttons.h"
#include "ui/label.h"

namespace tess::ui {

namespace {

void AppendFrom(const Container& container, std::vector<CaptionBox>& into) {
    for (const Control* child : container.children()) {
        const std::string* caption = nullptr;
        CaptionBox box;
        box.kind = child->kind();
        switch (child->kind()) {
        case ControlKind::Label: {
            const auto& label = static_cast<const Label&>(*child);
            if (!label.font()) caption = &label.caption();
            box.wraps = label.wordWrap();
            box.autoSize = label.autoSize();
            break;
        }
        case ControlKind::Frame: caption = &static_cast<const Frame&>(*child).caption(); break;
        case ControlKind::CommandButton:
            caption = &static_cast<const CommandButton&>(*child).caption();
            break;
        case ControlKind::CheckBox: caption = &static_cast<const CheckBox&>(*child).caption(); break;
        case ControlKind::OptionButton:
            caption = &static_cast<const OptionButton&>(*child).caption();
            break;
        default: break;
        }
        if (caption && !caption->empty()) {
            box.text = *caption;
            box.widthTwips = child->rect().width;
            box.heightTwips = child->rect().height;
            into.push_back(std::move(box));
        }
        if (child->kind() == ControlKind::Frame || child->kind() == ControlKind::PictureBox)
            AppendFrom(static_cast<const Container&>(*child), into);
    }
}

} // namespace

void AppendCaptionBoxes(const Form& form, std::vector<CaptionBox>& into) { AppendFrom(form, into); }

} // namespace tess::ui
