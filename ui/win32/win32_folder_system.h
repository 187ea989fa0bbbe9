// The system's drives and folders for the folder and drive lists: logical drives with their
// volume labels or share names, each drive's current folder, and the subfolders of a folder.
#pragma once

#include "ui/folder_system.h"

namespace tess::ui::win32 {

class Win32FolderSystem : public FolderSystem {
public:
    std::vector<DriveInfo> drives() const override;
    Result<std::string> currentFolder(char drive) const override;
    char currentDrive() const override;
    Result<std::vector<std::string>> subfolders(const std::string& folder) const override;
};

} // namespace tess::ui::win32
