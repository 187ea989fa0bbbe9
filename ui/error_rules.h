// The error rule a handler runs under, made visible at each fallible step: errors resumed (the
// step is skipped and the next one runs) or end quietly (the handler stops without a message).
#pragma once

#include "core/result.h"

namespace tess::ui {

enum class OnError { Resume, EndQuietly };

// Usage: `HandlerErrors on(OnError::EndQuietly); if (!on.step(box.setBackColor(c))) return;`
class HandlerErrors {
public:
    explicit HandlerErrors(OnError rule) : rule_(rule) {}
    // Whether the handler goes on after this step.
    template <typename T>
    bool step(const T& outcome) {
        if (outcome.ok()) return true;
        failed_ = true;
        return rule_ == OnError::Resume;
    }
    // Whether any step failed so far.
    bool anyFailed() const { return failed_; }

private:
    OnError rule_;
    bool failed_ = false;
};

} // namespace tess::ui
