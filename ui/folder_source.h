// What the file, folder and drive lists read of the file system: a folder's files and subfolders,
// the drives and each drive's current folder. FileSystemFolders reads them from the platform's.
#pragma once

#include <string>
#include <vector>

#include "core/result.h"
#include "platform/drive_info.h"

namespace tess::ui {

class FolderSource {
public:
    virtual ~FolderSource() = default;
    // The names of the files of `folder` that match `pattern`, sorted without regard to case; an
    // error when the folder cannot be read.
    virtual Result<std::vector<std::string>> ListFiles(const std::string& folder,
                                                       const std::string& pattern) = 0;
    // The names of the subfolders of `folder`, sorted without regard to case; an error when the
    // folder does not exist or cannot be read.
    virtual Result<std::vector<std::string>> ListFolders(const std::string& folder) = 0;
    // The drives in letter order.
    virtual std::vector<platform::DriveInfo> Drives() = 0;
    // The folder the system keeps as a drive's current one, e.g. "C:\\Windows"; an error when the
    // drive cannot be read.
    virtual Result<std::string> CurrentFolder(char drive) = 0;
    // The drive of the program's current folder, lower case.
    virtual char CurrentDrive() = 0;
};

} // namespace tess::ui
