// The error rule a handler runs under, declared once at its top and named again at each fallible
// step: errors resumed (the next step runs) or end quietly (the handler stops without a message).
#pragma once

#include <concepts>

#include "core/result.h"

namespace tess {

enum class OnError { Resume, EndQuietly };

// What a fallible step hands back: a Status, a Result, a dialog's outcome, or a success flag.
// Anything else is refused: only what can fail is put under a rule.
template <typename T>
concept StepOutcome = std::same_as<T, bool> || requires(const T& outcome) {
    { outcome.ok() } -> std::convertible_to<bool>;
};

// Every step whose outcome the handler has no other use for goes through step(); a step whose
// value the handler uses is checked where the value is taken.
//   HandlerErrors<OnError::Resume> on;       on.step(files.RemoveFile(path));
//   HandlerErrors<OnError::EndQuietly> on;   if (!on.step(box.setBackColor(c))) return;
template <OnError Rule>
class HandlerErrors;

template <>
class HandlerErrors<OnError::Resume> {
public:
    // Nothing comes back: under this rule no later step depends on how this one went, and an
    // answer would invite a check that the rule says is not made.
    template <StepOutcome T>
    void step(const T&) {}
};

template <>
class HandlerErrors<OnError::EndQuietly> {
public:
    // Whether the handler goes on. It must be acted on: a failure the caller walks past would
    // be resumed under a rule that says otherwise.
    template <StepOutcome T>
    [[nodiscard]] bool step(const T& outcome) {
        if constexpr (std::same_as<T, bool>)
            return outcome;
        else
            return outcome.ok();
    }
};

} // namespace tess
