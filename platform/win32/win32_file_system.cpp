// The file layer on Windows over the ANSI calls, so that a narrow path means one thing everywhere:
// text in the system's code page, as the programs form and the system's dialogs return it.
#include "platform/file_system.h"

#include <windows.h>

#include <algorithm>

#include "platform/file_names.h"
#include "ui/win32/win32_handles.h"

namespace tess {

namespace {

using ui::win32::UniqueFind;
using ui::win32::UniqueKernelHandle;

bool Missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

std::string SystemMessage(DWORD error) { return "system error " + std::to_string(error); }

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

UniqueKernelHandle Opened(HANDLE handle) {
    return UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

uint64_t SizeOf(DWORD high, DWORD low) { return (static_cast<uint64_t>(high) << 32) | low; }

// Writes all of `bytes` to an open file; WriteFile takes at most 4 GB minus one a call.
bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

std::string NativePath(const std::string& path) { return path; }

Result<uint64_t> FileLength(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (Missing(error))
            return NotFound(path);
        return Error{ErrorCode::CannotOpen, "Cannot examine " + path + ": " + SystemMessage(error)};
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return Error{ErrorCode::CannotOpen, "Not a file: " + path};
    return SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
}

Status CreateFolder(const std::string& path) {
    if (path.empty() || HasNul(path))
        return Error{ErrorCode::InvalidArgument, "Not a folder name: " + path};
    if (CreateDirectoryA(path.c_str(), nullptr))
        return Status::Ok();
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && IsExistingFolder(path))
        return Error{ErrorCode::AlreadyExists, "The folder exists already: " + path};
    return Error{ErrorCode::WriteFailed, "Cannot create the folder " + path + ": " + SystemMessage(error)};
}

Status RemoveFile(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    // DeleteFile refuses folders.
    if (DeleteFileA(path.c_str()))
        return Status::Ok();
    const DWORD error = GetLastError();
    if (Missing(error))
        return NotFound(path);
    return Error{ErrorCode::DeleteFailed, "Cannot delete " + path + ": " + SystemMessage(error)};
}

Result<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) {
    WIN32_FIND_DATAA found{};
    const std::string search = folder + (folder.empty() || folder.back() != '\\' ? "\\*" : "*");
    const HANDLE first = FindFirstFileA(search.c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) {
        // An empty root has no entries at all, not even "." and "..".
        if (GetLastError() == ERROR_FILE_NOT_FOUND && IsExistingFolder(folder))
            return std::vector<std::string>{};
        return Error{ErrorCode::FileNotFound, "Cannot list " + folder};
    }
    UniqueFind listing(first);
    std::vector<std::string> names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && MatchesPattern(found.cFileName, pattern))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(listing.get(), &found));
    SortNamesWithoutCase(names);
    return names;
}

Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t maxBytes) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return Missing(error) ? NotFound(path) : CannotOpen(path, SystemMessage(error));
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return CannotOpen(path, "it is a folder");

    UniqueKernelHandle file = Opened(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return Missing(error) ? NotFound(path) : CannotOpen(path, SystemMessage(error));
    }
    // A device or pipe behind the name is not read.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return CannotOpen(path, "it is not a regular file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        return CannotOpen(path, SystemMessage(GetLastError()));
    if (static_cast<uint64_t>(size.QuadPart) > maxBytes)
        return Error{ErrorCode::FileTooLarge, path + " is longer than " + std::to_string(maxBytes) + " bytes"};

    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return Error{ErrorCode::OutOfMemory, "Not enough memory to read " + path};
    }
    size_t got = 0;
    while (got < bytes.size()) {
        DWORD n = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 1u << 30));
        if (!ReadFile(file.get(), bytes.data() + got, chunk, &n, nullptr))
            return CannotOpen(path, "read error");
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);  // a file that shrank since: what is there
    return bytes;
}

Status WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty() || HasNul(path))
        return WriteError(path, "not a file name");
    if (IsExistingFolder(path))
        return WriteError(path, "the name belongs to a folder");

    const std::string temporary = PartialFileName(path);
    {
        UniqueKernelHandle file = Opened(
            CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return WriteError(path, SystemMessage(GetLastError()));
        const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
        const bool closed = CloseHandle(file.release()) != FALSE;
        if (!written || !closed) {
            DeleteFileA(temporary.c_str());
            return WriteError(path, "the file could not be written completely");
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        return WriteError(path, SystemMessage(error));
    }
    return Status::Ok();
}

} // namespace tess
