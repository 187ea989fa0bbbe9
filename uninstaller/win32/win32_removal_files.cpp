// File deletion through the ANSI calls the paths are written for; the shell's deletion is asked
// not to confirm, not to show progress and not to use the recycle bin. A reparse point (junction,
// symbolic link) is a link here: removed as itself and never entered.
#include "uninstaller/win32/win32_removal_files.h"

#include <windows.h>

#include <shellapi.h>

#include "ui/win32/win32_handles.h"

namespace tess::uninstaller::win32 {

namespace {

using ui::win32::UniqueFind;

// Each entry of a folder that matches the pattern, "." and ".." left out, with its attributes.
template <typename Visit>
void ForEachEntry(const std::string& folder, const std::string& pattern, Visit visit) {
    WIN32_FIND_DATAA found{};
    HANDLE first = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (first == INVALID_HANDLE_VALUE)
        return;
    UniqueFind search(first);
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            visit(folder + "\\" + name, found.dwFileAttributes);
    } while (FindNextFileA(search.get(), &found));
}

bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsReparsePoint(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

Error LastError(const std::string& path) {
    const DWORD code = GetLastError();
    return Error{code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                     ? ErrorCode::FileNotFound
                     : ErrorCode::DeleteFailed,
                 path + " (error " + std::to_string(code) + ")"};
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

} // namespace

Status Win32RemovalFiles::DeleteMatching(const std::string& folder, const std::string& pattern) {
    int matched = 0;
    std::string failed;
    ForEachEntry(folder, pattern, [&](const std::string& path, DWORD attributes) {
        // A file link is a file, and its deletion takes the link only.
        if (IsFolder(attributes))
            return;
        ++matched;
        if (!DeleteFileA(path.c_str()))
            failed = path;
    });
    if (matched == 0)
        return Error{ErrorCode::FileNotFound, folder + "\\" + pattern};
    if (!failed.empty())
        return Error{ErrorCode::DeleteFailed, failed};
    return Status::Ok();
}

Status Win32RemovalFiles::RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) ? Status::Ok() : Status(LastError(path));
}

Status Win32RemovalFiles::RemoveFolder(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) ? Status::Ok() : Status(LastError(path));
}

Status Win32RemovalFiles::ShellDelete(const std::string& path, bool filesOnly) {
    // The shell takes a list of names, each ended by a NUL and the list by a second one.
    std::string names = path;
    names.append(2, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = names.c_str();
    operation.fFlags = static_cast<FILEOP_FLAGS>(FOF_NOCONFIRMATION | FOF_SILENT |
                                                 (filesOnly ? FOF_FILESONLY : 0));
    const int result = SHFileOperationA(&operation);
    if (result != 0 || operation.fAnyOperationsAborted)
        return Error{ErrorCode::DeleteFailed, path + " (shell error " + std::to_string(result) + ")"};
    return Status::Ok();
}

bool Win32RemovalFiles::IsLink(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && IsReparsePoint(attributes);
}

Status Win32RemovalFiles::RemoveLink(const std::string& path) {
    // The attributes are the link's own: a folder link (or junction) goes with RemoveDirectory,
    // which never enters it, a file link with DeleteFile, which never follows it.
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return LastError(path);
    if (!IsReparsePoint(attributes))
        return Error{ErrorCode::InvalidArgument, path + " is not a link"};
    const BOOL removed =
        IsFolder(attributes) ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str());
    return removed ? Status::Ok() : Status(LastError(path));
}

bool Win32RemovalFiles::FileExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32RemovalFiles::FolderExists(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> Win32RemovalFiles::ListTree(const std::string& folder) {
    std::vector<std::string> found;
    ForEachEntry(folder, "*", [&](const std::string& path, DWORD attributes) {
        found.push_back(path);
        if (IsFolder(attributes) && !IsReparsePoint(attributes)) {
            std::vector<std::string> below = ListTree(path);
            found.insert(found.end(), below.begin(), below.end());
        }
    });
    return found;
}

} // namespace tess::uninstaller::win32
