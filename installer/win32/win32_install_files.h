// The installation's file operations on Windows: the core's file functions, deletion through the
// shell's file operation, and the replacing move.
#pragma once

#include <windows.h>

#include "installer/install_services.h"

namespace tess::installer::win32 {

// Deletes `path` through SHFileOperationA: files only, no confirmation, no progress, and not to
// the recycle bin. Failures are not reported.
void ShellDeleteFile(HWND owner, const std::string& path);

class Win32InstallFiles : public InstallFileSystem {
public:
    // `owner` is the window the shell's operation belongs to; it may be null.
    explicit Win32InstallFiles(HWND owner = nullptr) : owner_(owner) {}

    Result<uint64_t> FileLength(const std::string& path) override;
    Status CreateFolder(const std::string& path) override;
    void ShellDeleteFile(const std::string& path) override;
    Status RemoveFile(const std::string& path) override;
    // MoveFileExA without MOVEFILE_COPY_ALLOWED: a move to another volume fails rather than
    // becoming a copy that could be left half written.
    Status MoveReplacing(const std::string& from, const std::string& to) override;

private:
    HWND owner_;  // not owned
};

} // namespace tess::installer::win32
