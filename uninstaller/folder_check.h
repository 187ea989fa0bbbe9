// Whether a folder is the installed application folder, the only folder the uninstaller may
// empty and remove: never a folder that a copy of the uninstaller merely happens to sit in.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/registry.h"

namespace tess::uninstaller {

// The folder of the program an uninstall command names, quoted or not; empty when there is none.
std::string CommandFolder(const std::string& uninstallCommand,
                          const platform::CodePage& page = platform::CodePage::Active());

struct FolderCheck {
    bool installed = false;
    std::string reason;  // why the folder is not the application folder, as the user reads it
};

// The folder is the application folder when it is called "Tessary" and the uninstall entry
// names the uninstaller in it; with no entry left (an uninstallation that stopped half-way),
// when it still holds the skin maker. The paths are read in the code page `page`.
FolderCheck CheckApplicationFolder(platform::RegistryApi& registry, platform::Files& files,
                                   const std::string& appDir,
                                   const platform::CodePage& page = platform::CodePage::Active());

} // namespace tess::uninstaller
