// What the uninstaller's window needs from the program around it: the host, the registry and
// files it removes, the folders it works on, its icon and the uninstaller file it must leave.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/picture.h"
#include "platform/file_trees.h"
#include "platform/registry.h"
#include "ui/host.h"

namespace tess::uninstaller {

// The program's title, the caption of its report.
inline constexpr const char* kUninstallerTitle = "Uninstaller";

struct UninstallEnv {
    ui::Host& host;
    platform::RegistryApi& registry;
    platform::FileTrees& files;
    // The application folder the uninstaller works on, without a trailing backslash.
    std::string appDir;
    // The path of a shell folder by its number (kCsidlCommonPrograms, kCsidlPrograms); empty when
    // it cannot be found.
    std::function<std::string(int csidl)> shellFolder;
    // The window's icon as a picture of the size the system gives icons at a screen of that many
    // twips per pixel; none when it cannot be had.
    std::function<Picture(double twipsPerPixel)> iconAt;
    // The installed uninstaller's file, which a running program holds: this program's own when it
    // works in place, the waiting original's when this is its temporary copy.
    std::string heldFile;
    // A way to remove a file or an empty folder when the computer next starts (true when it
    // was arranged).
    std::function<bool(const std::string& path)> removeAtRestart = {};
    // The temporary copy's way to take the held file out of the application folder (into its own
    // folder, which goes at the next start) although it is in use; true when it was moved.
    std::function<bool(const std::string& path)> setAside = {};
    // Asks a running skin maker to close.
    std::function<void()> closeRunningCopy = {};
    // The temporary copy's own file and then its folder, which go at the next start once the
    // folder has passed its check and the user has said Yes; empty when working in place.
    std::vector<std::string> copyFiles = {};
};

} // namespace tess::uninstaller
