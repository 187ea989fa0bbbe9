// The uninstaller's file operations on the real file system: wildcard and named deletion, the
// plain folder and link removal and the shell's silent deletion of a folder with its contents.
#pragma once

#include "uninstaller/removal_services.h"

namespace tess::uninstaller::win32 {

class Win32RemovalFiles : public RemovalFileSystem {
public:
    Status DeleteMatching(const std::string& folder, const std::string& pattern) override;
    Status RemoveFile(const std::string& path) override;
    Status RemoveFolder(const std::string& path) override;
    Status ShellDelete(const std::string& path, bool filesOnly) override;
    bool IsLink(const std::string& path) override;
    Status RemoveLink(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::vector<std::string> ListTree(const std::string& folder) override;
};

} // namespace tess::uninstaller::win32
