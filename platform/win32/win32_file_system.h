// The file system on Windows over the ANSI calls, so that a narrow path means one thing
// everywhere: text in the system's code page, as the programs form and the system's dialogs
// return it. SystemFileSystem() is one of these.
#pragma once

#include "platform/file_system.h"

namespace tess::platform::win32 {

class Win32FileSystem : public FileSystem {
public:
    Result<uint64_t> FileLength(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    // A reparse point (junction, symbolic link) is a link.
    bool IsLink(const std::string& path) override;
    // The link's own record (FSCTL_GET_REPARSE_POINT on the reparse point itself): the name a
    // junction or symbolic link shows, in the code page, for telling the user.
    Result<std::string> LinkTarget(const std::string& path) override;
    Result<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override;
    Result<std::vector<std::string>> ListFolders(const std::string& folder) override;
    std::vector<std::string> ListTree(const std::string& folder) override;
    Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t maxBytes) override;
    Status CreateFolder(const std::string& path) override;
    Status WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) override;
    // MoveFileExA without MOVEFILE_COPY_ALLOWED: a move to another volume fails rather than
    // becoming a copy that could be left half written.
    Status MoveReplacing(const std::string& from, const std::string& to) override;
    Status ClearReadOnly(const std::string& path) override;
    Status RemoveFile(const std::string& path) override;
    // The system's own wildcard matching (FindFirstFileW), which also matches the short names.
    Status DeleteMatching(const std::string& folder, const std::string& pattern) override;
    Status RemoveFolder(const std::string& path) override;
    Status RemoveLink(const std::string& path) override;
    // SetFileInformationByHandle on a handle opened with FILE_FLAG_OPEN_REPARSE_POINT.
    Status RemovePlainFile(const std::string& path) override;
    std::vector<std::string> RemoveTree(const std::string& folder, const std::vector<std::string>& only = {}) override;
    // SHFileOperationA with no window of its own, and none of its dialogs: no question, no progress
    // and no error box (FOF_NOERRORUI); a failure is returned instead.
    Status ShellDelete(const std::string& path, bool filesOnly) override;
    // GetLogicalDrives with the volume labels, or the shares of network drives.
    std::vector<DriveInfo> Drives() override;
    // GetFullPathNameA of the drive alone.
    Result<std::string> CurrentFolder(char drive) override;
    char CurrentDrive() override;
};

} // namespace tess::platform::win32
