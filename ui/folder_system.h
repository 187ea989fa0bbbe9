// The file system as the folder and drive lists see it: the drives with their descriptions,
// each drive's current folder, and the subfolders of a folder.
#pragma once

#include <string>
#include <vector>

#include "core/result.h"

namespace tess::ui {

struct DriveInfo {
    char letter = 'c';        // lower case
    std::string description;  // the volume label or share name; empty for none
};

class FolderSystem {
public:
    virtual ~FolderSystem() = default;
    // The drives in letter order.
    virtual std::vector<DriveInfo> drives() const = 0;
    // The folder the system keeps as a drive's current one (its root unless set), e.g.
    // "C:\\Windows"; an error when the drive cannot be read.
    virtual Result<std::string> currentFolder(char drive) const = 0;
    // The drive of the program's current folder.
    virtual char currentDrive() const = 0;
    // The names of a folder's subfolders, sorted without regard to case; an error when the
    // folder does not exist or cannot be read.
    virtual Result<std::vector<std::string>> subfolders(const std::string& folder) const = 0;
};

} // namespace tess::ui
