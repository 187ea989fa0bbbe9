// The hidden application window of a program: other programs find it by its title and ask it to
// close, which ends the program as its own window would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/win32/handles.h"
#include "ui/win32/win32_window.h"

namespace tess::ui::win32 {

// A hidden top-level window with a title; WM_CLOSE sent to it (e.g. by a setup program that
// found it with FindWindowA) runs `onClose`.
class ApplicationWindow : public WindowBase {
public:
    ApplicationWindow(const std::string& title, std::function<void()> onClose);
    ~ApplicationWindow() override = default;
    bool created() const { return static_cast<bool>(window_); }

private:
    bool onClose() override;
    void onDestroyed() override { window_.release(); }
    std::function<void()> onClose_;
    platform::win32::UniqueWindow window_;
};

} // namespace tess::ui::win32
