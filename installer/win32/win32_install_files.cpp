// The shell's file operation takes a list of names ended by an empty one, so the path is passed
// with two terminating NULs.
#include "win32_install_files.h"

#include <shellapi.h>

#include "platform/file_system.h"

namespace tess::installer::win32 {

void ShellDeleteFile(HWND owner, const std::string& path) {
    std::string from = path;
    from.push_back('\0');  // the list's end; c_str() adds the string's own NUL
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_FILESONLY | FOF_NOCONFIRMATION | FOF_SILENT;
    SHFileOperationA(&operation);
}

Result<uint64_t> Win32InstallFiles::FileLength(const std::string& path) {
    return tess::FileLength(path);
}

Status Win32InstallFiles::CreateFolder(const std::string& path) { return tess::CreateFolder(path); }

void Win32InstallFiles::ShellDeleteFile(const std::string& path) {
    win32::ShellDeleteFile(owner_, path);
}

Status Win32InstallFiles::RemoveFile(const std::string& path) { return tess::RemoveFile(path); }

Status Win32InstallFiles::MoveReplacing(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Status::Ok();
    const DWORD error = GetLastError();
    return Error{error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ErrorCode::FileNotFound
                                                                                : ErrorCode::WriteFailed,
                 "could not move " + from + " to " + to + ": error " + std::to_string(error)};
}

} // namespace tess::installer::win32
