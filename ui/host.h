// What a window's logic asks of the program around it: message boxes, showing and hiding
// windows, ending the program, and the screen's measure in twips.
#pragma once

#include <cstdint>
#include <string>

#include "core/result.h"

namespace tess::ui {

class Form;

// Message box flags and answers, with the values of the Win32 calls.
inline constexpr int kMbOk = 0;
inline constexpr int kMbOkCancel = 1;
inline constexpr int kMbYesNo = 4;
inline constexpr int kMbIconStop = 16;
inline constexpr int kMbIconQuestion = 32;
inline constexpr int kMbIconExclamation = 48;
inline constexpr int kMbIconInformation = 64;
inline constexpr int kMbDefButton2 = 256;
inline constexpr int kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7;

class Host {
public:
    virtual ~Host() = default;
    // A modal message box; an empty caption shows the program's title. Returns the answer.
    virtual int messageBox(const std::string& text, int flags, const std::string& caption = {}) = 0;
    // Shows a form; a modal show returns once the form is hidden or unloaded. A form whose
    // window the system refuses is not shown, and the error says so.
    virtual Status show(Form& form, bool modal) = 0;
    // Shows a form, or tells the user in a message box why it cannot be shown; whether it was.
    bool showOrReport(Form& form, bool modal) {
        const Status shown = show(form, modal);
        if (!shown) messageBox(shown.error().message, kMbOk | kMbIconStop);
        return shown.ok();
    }
    virtual void hide(Form& form) = 0;
    // Closes a form's window for good (its logic object may live on).
    virtual void unload(Form& form) = 0;
    // Ends the program at once with `exitCode` as its exit code: no further handler runs.
    virtual void endProgram(int exitCode) = 0;
    // Ends the program at once as a success.
    void endProgram() { endProgram(0); }
    // The handle of a form's real window, 0 when it has none; common dialogs are owned by it.
    virtual uintptr_t windowHandle(const Form& form) const = 0;
    // Twips per screen pixel: 15 at 96 dots per inch.
    virtual double twipsPerPixelX() const = 0;
    virtual double twipsPerPixelY() const = 0;
    // The size of the screen in twips.
    virtual double screenWidthTwips() const = 0;
    virtual double screenHeightTwips() const = 0;
};

} // namespace tess::ui
