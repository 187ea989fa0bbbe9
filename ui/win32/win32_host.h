// The program around the windows on Win32: realizes forms as real windows, shows them modeless
// or modal, runs the message loop with the dialog keys, shows message boxes, ends the program.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/result.h"
#include "ui/caption_boxes.h"
#include "ui/host.h"
#include "ui/win32/dialog_font.h"
#include "ui/win32/win32_control_view.h"
#include "ui/win32/win32_text_measure.h"

namespace tess::ui::win32 {

class FormWindow;

// The windows' font at one DPI, chosen for the program's captions, and the measure of text in it.
struct DpiFonts {
    ScreenMeasure screen;
    DialogFontChoice choice;
    platform::win32::UniqueFont font;
    std::shared_ptr<const Win32TextMeasure> measure;
};

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
    double twipsPerPixelX() const override { return screen_.twipsPerPixelX(); }
    double twipsPerPixelY() const override { return screen_.twipsPerPixelY(); }
    double screenWidthTwips() const override;
    double screenHeightTwips() const override;

    // The captions of every window of the program in every state it shows them: the windows'
    // font is the largest at which all of them fit, chosen at each DPI a window is shown at.
    // Without them it is the largest the DPI allows.
    void setCaptions(std::vector<CaptionBox> captions);
    // The windows' font at a DPI, chosen on first use and kept while the host lives.
    const DpiFonts& fontsAt(int dpi);
    // The measure of the screen where the form's window is, which follows the window from one
    // monitor's DPI to another's; the system's for a form without windows.
    const ScreenMeasure& screenOf(const Form& form) const;

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

    const ScreenMeasure& screen() const { return screen_; }

private:
    HWND activeFormWindow() const;
    void freeClosedForms();

    std::string title_;
    // The system's DPI, at which windows are made before they learn their monitor's.
    ScreenMeasure screen_;
    std::vector<CaptionBox> captions_;
    std::map<int, std::unique_ptr<DpiFonts>> fonts_;
    // Fonts chosen for captions given before, which windows made then may still use.
    std::vector<std::unique_ptr<DpiFonts>> retiredFonts_;
    std::map<const Form*, std::unique_ptr<FormWindow>> forms_;
    // Forms unloaded while a window procedure ran; freed once it has returned.
    std::vector<std::unique_ptr<FormWindow>> closed_;
};

} // namespace tess::ui::win32
