// The program around the windows on Win32: realizes forms as real windows, shows them modeless
// or modal, runs the message loop with the dialog keys, shows message boxes, ends the program.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/result.h"
#include "ui/host.h"
#include "ui/win32/win32_control_view.h"
#include "ui/win32/win32_text_measure.h"

namespace tess::ui::win32 {

class FormWindow;

class Win32Host : public Host {
public:
    // `programTitle` captions message boxes that have no caption of their own. Declares the
    // process DPI-aware before measuring the screen.
    explicit Win32Host(std::string programTitle);
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    int messageBox(const std::string& text, int flags, const std::string& caption = {}) override;
    Status show(Form& form, bool modal) override;
    void hide(Form& form) override;
    void unload(Form& form) override;
    using Host::endProgram;
    [[noreturn]] void endProgram(int exitCode) override;
    uintptr_t windowHandle(const Form& form) const override;
    double twipsPerPixelX() const override { return context_.screen.twipsPerPixelX(); }
    double twipsPerPixelY() const override { return context_.screen.twipsPerPixelY(); }
    double screenWidthTwips() const override;
    double screenHeightTwips() const override;

    // Creates the form's windows, hidden, after giving the form the screen's text measure; show
    // does this itself for a form without windows.
    Status realize(Form& form);
    bool loaded(const Form& form) const { return forms_.count(&form) != 0; }
    // The real window of a control of a loaded form, null otherwise or for a control drawn
    // into its picture box.
    HWND controlWindow(const Form& form, const Control& control) const;

    // Runs the message loop while a form is loaded, or until WM_QUIT; returns the quit code
    // (0 when the last form went).
    int run();
    // Waits for one message and handles it; false when it was WM_QUIT (which is posted again
    // for the loop outside).
    bool pumpOne();
    // Handles one message: a released key goes to the form it belongs to first, then the
    // dialog keys of that form, or the usual dispatch.
    void dispatch(MSG& message);

    const ScreenMeasure& screen() const { return context_.screen; }

private:
    HWND activeFormWindow() const;
    void freeClosedForms();

    std::string title_;
    BindingContext context_;
    platform::win32::UniqueFont font_;
    std::shared_ptr<const Win32TextMeasure> measure_;
    std::map<const Form*, std::unique_ptr<FormWindow>> forms_;
    // Forms unloaded while a window procedure ran; freed once it has returned.
    std::vector<std::unique_ptr<FormWindow>> closed_;
};

} // namespace tess::ui::win32
