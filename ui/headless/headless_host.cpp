// The headless host's scripted message boxes and form visibility; the window handles it gives
// are stand-ins that only tell forms apart.
#include "ui/headless/headless_host.h"

namespace tess::ui {

int HeadlessHost::messageBox(const std::string& text, int flags, const std::string& caption) {
    const bool okOnly = (flags & 0xF) == kMbOk;
    int answer = kIdOk;
    if (!okOnly) {
        if (answers_.empty()) {
            ++unanswered_;
            answer = kIdNo;
        } else {
            answer = answers_.front();
            answers_.pop_front();
        }
    }
    asked_.push_back({text, flags, caption.empty() ? title_ : caption, answer});
    return answer;
}

Status HeadlessHost::show(Form& form, bool modal) {
    form.setVisible(true);
    shown_.emplace_back(&form, modal);
    if (modal && onModalShow) onModalShow(form);
    return Status::Ok();
}

uintptr_t HeadlessHost::windowHandle(const Form& form) const {
    return reinterpret_cast<uintptr_t>(&form);
}

} // namespace tess::ui
