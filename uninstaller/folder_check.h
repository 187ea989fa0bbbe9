// Whether a folder is the installed application folder, the only folder the uninstaller may
// empty and remove: never a folder that a copy of the uninstaller merely happens to sit in.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace tess::uninstaller {

// Two paths name the same place: compared without regard to case, with forward slashes as
// backslashes, runs of backslashes as one and no trailing backslash.
bool SamePath(const std::string& a, const std::string& b);

// The folder of the program an uninstall command names, quoted or not; empty when there is none.
std::string CommandFolder(const std::string& uninstallCommand);

struct FolderCheck {
    bool installed = false;
    std::string reason;  // why the folder is not the application folder, as the user reads it
};

// The folder is the application folder when it is called "Tessary" and the uninstall entry
// names the uninstaller in it; with no entry left (an uninstallation that stopped half-way),
// when it still holds the skin maker.
FolderCheck CheckApplicationFolder(RegistryApi& registry, platform::FileSystem& files,
                                   const std::string& appDir);

} // namespace tess::uninstaller
