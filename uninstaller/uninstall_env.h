// What the uninstaller's window needs from the program around it: the host, the registry and
// files it removes, the folders it works on, and its own icon and file.
#pragma once

#include <functional>
#include <string>

#include "core/picture.h"
#include "core/registry.h"
#include "ui/host.h"
#include "uninstaller/removal_services.h"

namespace tess::uninstaller {

// The program's title, the caption of its report.
inline constexpr const char* kUninstallerTitle = "Uninstaller";

struct UninstallEnv {
    ui::Host& host;
    RegistryApi& registry;
    RemovalFileSystem& files;
    // The application folder the uninstaller works on, without a trailing backslash.
    std::string appDir;
    // The current user's Start-menu Programs folder; empty when it cannot be found.
    std::function<std::string()> programsFolder;
    // The window's icon as a picture.
    Picture icon;
    // The running program's own file, and a way to remove a file or an empty folder when the
    // computer next starts (true when it was arranged).
    std::string ownFile;
    std::function<bool(const std::string& path)> removeAtRestart = {};
    // Asks a running skin maker to close.
    std::function<void()> closeRunningCopy = {};
};

} // namespace tess::uninstaller
