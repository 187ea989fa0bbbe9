// Starting a program as the user at the desktop rather than as this program: an elevated setup
// program asks the desktop's shell, which runs with the user's own unelevated token, to start it.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::platform::win32 {

// What the desktop's shell made of a request to start a program.
enum class ShellAnswer {
    Started,         // the shell took the request and starts the program itself
    NoDesktopShell,  // no desktop shell answered: none runs, or it offers no such service
};

// The shell of the user's desktop, asked to start programs.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;
    // Asks the shell to start `program` (a full path) in `folder` with a normal window.
    // NoDesktopShell when no desktop shell answers; an error when one answered but did not
    // take the request.
    virtual Result<ShellAnswer> Start(const std::string& program, const std::string& folder) = 0;
};

// The desktop's shell reached through COM: the shell's window list finds the desktop, whose
// folder view hands out the shell's own automation object, and that starts the program inside
// the shell's process.
class Win32DesktopShell final : public DesktopShell {
public:
    Result<ShellAnswer> Start(const std::string& program, const std::string& folder) override;
};

// Starts `program` (a full path) in its own folder through `shell`, so that it runs with the
// desktop user's token. Only where no desktop shell answers (systems before the shell's window
// list, or no shell running) is it started directly, as this program; a shell that answered and
// failed is an error, never a reason to start it with this program's rights.
Status StartAsDesktopUser(const std::string& program, DesktopShell& shell);

} // namespace tess::platform::win32
