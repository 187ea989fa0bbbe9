// The file system on Windows over the ANSI calls, so that a narrow path means one thing
// everywhere: text in the system's code page, as the programs form and the system's dialogs
// return it. SystemFileSystem() is one of these.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tess::platform::win32 {

// The system calls by which the file system lists folders, tells a link from what it stands for,
// and removes entries one by one. Every decision about links is made on what these report, so
// the walks can be run against entries that answer as Windows documents, links included, where
// the system at hand makes none. Failures leave the system's error code as the last error.
class EntryCalls {
public:
    virtual ~EntryCalls() = default;
    // GetFileAttributesW: the attributes of `path` itself (a link's own, not its target's), or
    // INVALID_FILE_ATTRIBUTES.
    virtual DWORD Attributes(const std::wstring& path) = 0;
    // FindFirstFileW and FindNextFileW on `search` ("folder\pattern"): each entry as they report
    // it, "." and ".." too. ERROR_SUCCESS, ERROR_FILE_NOT_FOUND for no match, or the error that
    // stopped the listing.
    virtual DWORD Find(const std::wstring& search, std::vector<WIN32_FIND_DATAW>& found) = 0;
    // Opens `path` as itself (FILE_FLAG_OPEN_REPARSE_POINT) without leave for anyone to delete or
    // rename it while the returned hold lasts, and gives its attributes; null when it cannot.
    virtual std::shared_ptr<void> Hold(const std::wstring& path, DWORD& attributes) = 0;
    // RemoveDirectoryW: an empty folder, or a folder link as itself.
    virtual bool RemoveFolder(const std::wstring& path) = 0;
    // Deletes the file at `path` as itself, read-only or not, through a handle on the entry; a
    // folder is refused, and so is a link unless `links` (InvalidArgument).
    virtual Status DeleteEntry(const std::wstring& path, const std::string& shown, bool links) = 0;
};

EntryCalls& SystemEntryCalls();

class Win32FileSystem : public FileSystem {
public:
    explicit Win32FileSystem(EntryCalls& calls = SystemEntryCalls()) : calls_(calls) {}

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
    Status RemoveLink(const std::string& path) override;
    // SetFileInformationByHandle on a handle opened with FILE_FLAG_OPEN_REPARSE_POINT.
    Status RemovePlainFile(const std::string& path) override;
    std::vector<std::string> RemoveTree(const std::string& folder, const std::vector<std::string>& only = {}) override;
    // GetLogicalDrives with the volume labels, or the shares of network drives.
    std::vector<DriveInfo> List() override;
    // GetFullPathNameA of the drive alone.
    Result<std::string> CurrentFolder(char drive) override;
    char CurrentDrive() override;
    uint32_t Type(char letter) override;

private:
    EntryCalls& calls_;
};

} // namespace tess::platform::win32
