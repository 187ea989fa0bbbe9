// Program-wide services on Win32: the named-mutex guard that lets one copy run, the hidden
// application window that other programs ask to close by its title, and the program's folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/result.h"
#include "ui/win32/win32_handles.h"
#include "ui/win32/win32_window.h"

namespace tess::ui::win32 {

// Holds a named mutex for the life of the program. Creating a named mutex is atomic, so of
// two copies started together exactly one finds it new.
class SingleInstanceGuard {
public:
    static Result<SingleInstanceGuard> Acquire(const std::string& name);
    // Whether another copy created the mutex first; that copy should then end.
    bool anotherRunning() const { return anotherRunning_; }

private:
    SingleInstanceGuard(UniqueKernelHandle mutex, bool another)
        : mutex_(std::move(mutex)), anotherRunning_(another) {}
    UniqueKernelHandle mutex_;
    bool anotherRunning_;
};

// The running program's file, and its folder without a trailing backslash.
std::string ProgramFile();
std::string ProgramFolder();

// The command line after the program's own name, quoted or not.
std::string CommandLineArguments();

// Asks every top-level window titled exactly `title` to close, five times in a row as windows
// that close leave others of that title behind; waits for each to handle the request, but not
// for one that has stopped answering.
void CloseWindowsTitled(const std::string& title);

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
    UniqueWindow window_;
};

} // namespace tess::ui::win32
