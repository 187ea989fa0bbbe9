// The file system on Windows over the ANSI calls, with folders listed and emptied by their exact
// wide names. A reparse point (junction, symbolic link) is a link here: listed, never entered or
// followed, and removed as itself.
#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <winioctl.h>

#include <algorithm>
#include <cctype>

#include "core/ascii_case.h"
#include "platform/file_errors.h"
#include "platform/file_names.h"
#include "platform/path_text.h"
#include "platform/win32/handles.h"
#include "platform/win32/network_drives.h"

namespace tess::platform {

FileSystem& SystemFileSystem() {
    static win32::Win32FileSystem system;
    return system;
}

std::string NativePath(const std::string& path) { return path; }

} // namespace tess::platform

namespace tess::platform::win32 {

namespace {

bool Missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH;
}

std::string SystemMessage(DWORD error) { return "system error " + std::to_string(error); }

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
bool IsReparsePoint(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes);
}

// A failed deletion or removal of `path`, from the system's last error.
Error DeleteError(const std::string& path) {
    const DWORD error = GetLastError();
    if (Missing(error))
        return NotFound(path);
    return Error{ErrorCode::DeleteFailed, "Cannot delete " + path + ": " + SystemMessage(error)};
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

// A narrow path as the system reads it, in the code page; empty when it is not valid there.
std::wstring Wide(const std::string& narrow) {
    if (narrow.empty())
        return {};
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(),
                                           static_cast<int>(narrow.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    if (length <= 0 || MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(),
                                           static_cast<int>(narrow.size()), wide.data(), length) != length)
        return {};
    return wide;
}

// A listed name as the program may use it. The system's own conversion maps a character the code
// page lacks to a look-alike ("best fit"): a fullwidth reverse solidus becomes a backslash, and
// "..＼..＼x" would name a file two folders up. Here a name is `exact` only when it converts
// without best fit and back to the same wide name, and is a plain name (no separator, not "."
// or ".."); otherwise its text has '?' for what is missing, which names no file.
struct ListedName {
    std::string text;
    bool exact = false;
};

// `wide` in the code page of the A calls, with '?' for each character the code page lacks, never
// a look-alike; `missing` says whether there was one. False when the system converts nothing.
// For UTF-8 the system refuses both the no-best-fit flag and a default character; there the only
// characters missing are surrogates without their other half, which are put as '?' beforehand.
bool InCodePage(const std::wstring& wide, std::string& text, bool& missing) {
    std::wstring spelled = wide;
    UINT flags = WC_NO_BEST_FIT_CHARS;
    const char* questionMark = "?";
    BOOL defaulted = FALSE;
    BOOL* defaultedAt = &defaulted;
    if (CodePage::Active().isUtf8()) {
        flags = 0;
        questionMark = nullptr;
        defaultedAt = nullptr;
        for (size_t i = 0; i < spelled.size(); ++i) {
            const bool high = spelled[i] >= 0xD800 && spelled[i] <= 0xDBFF;
            const bool low = spelled[i] >= 0xDC00 && spelled[i] <= 0xDFFF;
            if (high && i + 1 < spelled.size() && spelled[i + 1] >= 0xDC00 && spelled[i + 1] <= 0xDFFF)
                ++i;
            else if (high || low) {
                spelled[i] = L'?';
                defaulted = TRUE;
            }
        }
    }
    const int size = static_cast<int>(spelled.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, spelled.data(), size, nullptr, 0, nullptr, nullptr);
    text.assign(static_cast<size_t>(std::max(length, 0)), '\0');
    if (length <= 0 || WideCharToMultiByte(CP_ACP, flags, spelled.data(), size, text.data(), length, questionMark,
                                           defaultedAt) != length)
        return false;
    missing = defaulted != FALSE;
    return true;
}

ListedName Narrow(const std::wstring& wide) {
    if (wide.empty())
        return {};
    std::string text;
    bool missing = false;
    if (!InCodePage(wide, text, missing))
        return {std::string(wide.size(), '?'), false};
    const bool plain = wide != L"." && wide != L".." && wide.find_first_of(L"\\/") == std::wstring::npos;
    return {text, plain && !missing && Wide(text) == wide};
}

// A wide path the system takes at any length: a drive or network path gets the "\\?\" prefix,
// which switches off the parsing that would stop at MAX_PATH (and that would fold a doubled
// backslash, so runs of them become one first).
std::wstring LongPath(const std::wstring& path) {
    std::wstring clean;
    for (size_t i = 0; i < path.size(); ++i)
        if (!(path[i] == L'\\' && i > 1 && path[i - 1] == L'\\'))
            clean.push_back(path[i]);
    if (clean.size() >= 3 && clean[1] == L':' && clean[2] == L'\\')
        return L"\\\\?\\" + clean;
    if (clean.size() > 2 && clean[0] == L'\\' && clean[1] == L'\\' && clean[2] != L'?' && clean[2] != L'.')
        return L"\\\\?\\UNC\\" + clean.substr(2);
    return clean;
}

// One entry of a folder listing: its exact wide name and how the program may spell it.
struct ListedEntry {
    std::wstring wide;
    ListedName name;
    DWORD attributes = 0;
};

// The entries of a wide folder that match `pattern`, "." and ".." left out; false when the folder
// could not be listed (an empty root lists nothing and is no error).
bool ListWide(EntryCalls& calls, const std::wstring& folder, const wchar_t* pattern,
              std::vector<ListedEntry>& entries) {
    std::vector<WIN32_FIND_DATAW> found;
    const std::wstring search = folder + (!folder.empty() && folder.back() == L'\\' ? L"" : L"\\") + pattern;
    const DWORD error = calls.Find(LongPath(search), found);
    for (const WIN32_FIND_DATAW& entry : found) {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..")
            entries.push_back({name, Narrow(name), entry.dwFileAttributes});
    }
    return error == ERROR_SUCCESS || (error == ERROR_FILE_NOT_FOUND && found.empty());
}

std::string Joined(const std::string& folder, const std::string& name) {
    return folder + (EndsWithSeparator(folder) ? "" : "\\") + name;
}
std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
    return folder + (!folder.empty() && folder.back() == L'\\' ? L"" : L"\\") + name;
}

// Deletes the file or file link at `path` through a handle opened on the entry itself, never on
// what a link points to (a folder opens too, to be told apart and refused); a link is refused
// unless `links`. A read-only file
// loses the attribute through the same handle first. What is deleted is what was opened.
Status DeleteThroughHandle(const std::wstring& path, const std::string& shown, bool links) {
    UniqueKernelHandle file(nullptr);
    {
        const HANDLE opened = CreateFileW(LongPath(path).c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (opened == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (Missing(error))
                return NotFound(shown);
            return Error{ErrorCode::DeleteFailed, "Cannot delete " + shown + ": " + SystemMessage(error)};
        }
        file = UniqueKernelHandle(opened);
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic))
        return Error{ErrorCode::DeleteFailed, "Cannot examine " + shown + ": " + SystemMessage(GetLastError())};
    if ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (!links && IsReparsePoint(basic.FileAttributes)))
        return Error{ErrorCode::InvalidArgument, shown + " is not a plain file"};
    const DWORD before = basic.FileAttributes;
    if (before & FILE_ATTRIBUTE_READONLY) {
        // Zero times leave the times as they are; the attributes lose only the read-only one.
        FILE_BASIC_INFO writable{};
        writable.FileAttributes = before & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (writable.FileAttributes == 0)
            writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (!SetFileInformationByHandle(file.get(), FileBasicInfo, &writable, sizeof writable))
            return Error{ErrorCode::DeleteFailed, "Cannot delete " + shown + ": " + SystemMessage(GetLastError())};
    }
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose)) {
        const DWORD error = GetLastError();
        if (before & FILE_ATTRIBUTE_READONLY) {
            FILE_BASIC_INFO restored{};
            restored.FileAttributes = before;
            (void)SetFileInformationByHandle(file.get(), FileBasicInfo, &restored, sizeof restored);
        }
        return Error{ErrorCode::DeleteFailed, "Cannot delete " + shown + ": " + SystemMessage(error)};
    }
    return Status::Ok();
}

// Removes the folder `folder` (wide, and `shown` as the user reads it) with everything in it;
// see RemoveTree. Adds to `stayed` what could not go; true when the folder itself went.
bool RemoveWideTree(EntryCalls& calls, const std::wstring& folder, const std::string& shown,
                    std::vector<std::string>& stayed, const std::vector<std::wstring>& only = {}) {
    {
        // Held without leave to delete or rename it, so that nobody can swap it for a link while
        // it is emptied; opened as itself, so that a link in its place is seen as one.
        DWORD attributes = 0;
        std::shared_ptr<void> held = calls.Hold(LongPath(folder), attributes);
        if (!held) {
            if (Missing(GetLastError()))
                return true;
            stayed.push_back(shown + " (it could not be opened)");
            return false;
        }
        if (IsReparsePoint(attributes) || !IsFolder(attributes)) {
            held.reset();
            const bool gone = IsFolder(attributes) ? calls.RemoveFolder(LongPath(folder))
                                                   : calls.DeleteEntry(folder, shown, true).ok();
            if (!gone)
                stayed.push_back(shown);
            return gone;
        }
        std::vector<ListedEntry> entries;
        if (!ListWide(calls, folder, L"*", entries)) {
            stayed.push_back(shown + " (it could not be listed)");
            return false;
        }
        bool emptied = true;
        for (const ListedEntry& entry : entries) {
            if (!only.empty() && std::none_of(only.begin(), only.end(), [&](const std::wstring& name) {
                    return CompareStringOrdinal(name.c_str(), -1, entry.wide.c_str(), -1, TRUE) == CSTR_EQUAL;
                })) {
                emptied = false;
                continue;
            }
            const std::wstring path = Joined(folder, entry.wide);
            const std::string named = Joined(shown, entry.name.text);
            if (IsFolder(entry.attributes) && !IsReparsePoint(entry.attributes)) {
                emptied &= RemoveWideTree(calls, path, named, stayed);
            } else if (IsFolder(entry.attributes)) {
                // A folder link goes as itself: RemoveDirectory never enters it.
                if (!calls.RemoveFolder(LongPath(path))) {
                    stayed.push_back(named);
                    emptied = false;
                }
            } else if (!calls.DeleteEntry(path, named, true).ok()) {
                stayed.push_back(named);
                emptied = false;
            }
        }
        if (!emptied)
            return false;
    }
    if (calls.RemoveFolder(LongPath(folder)) || Missing(GetLastError()))
        return true;
    stayed.push_back(shown);
    return false;
}

// The name a reparse point's record shows: the print name of a junction or symbolic link, or
// its substitute name without the "\??\" of the object manager where no print name was kept.
// The record is read by offsets, as the layout lies in the driver kit's headers only.
Result<std::wstring> ReparseName(const std::vector<BYTE>& record, DWORD size) {
    auto word = [&](size_t at) -> DWORD {
        return at + 2 <= size ? static_cast<DWORD>(record[at] | (record[at + 1] << 8)) : 0;
    };
    if (size < 8)
        return Error{ErrorCode::CannotOpen, "the link's record is too short"};
    const DWORD tag = word(0) | (word(2) << 16);
    // After the tag, the data length and a reserved word come the four name offsets and
    // lengths; a symbolic link has four bytes of flags before its names.
    size_t names = 16;
    if (tag == IO_REPARSE_TAG_SYMLINK)
        names = 20;
    else if (tag != IO_REPARSE_TAG_MOUNT_POINT)
        return Error{ErrorCode::CannotOpen, "the link is of a kind that names no path"};
    auto name = [&](size_t offsetAt) -> std::wstring {
        const size_t offset = names + word(offsetAt), length = word(offsetAt + 2);
        if (offset + length > size)
            return {};
        std::wstring text(length / 2, L'\0');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(record[offset + 2 * i] | (record[offset + 2 * i + 1] << 8));
        return text;
    };
    std::wstring shown = name(12);
    if (shown.empty()) {
        shown = name(8);
        if (shown.rfind(L"\\??\\", 0) == 0)
            shown.erase(0, 4);
    }
    if (shown.empty())
        return Error{ErrorCode::CannotOpen, "the link's record names nothing"};
    return shown;
}

// The calls as the system makes them.
class SystemCalls final : public EntryCalls {
public:
    DWORD Attributes(const std::wstring& path) override { return GetFileAttributesW(path.c_str()); }
    DWORD Find(const std::wstring& search, std::vector<WIN32_FIND_DATAW>& found) override {
        WIN32_FIND_DATAW entry{};
        const HANDLE first = FindFirstFileW(search.c_str(), &entry);
        if (first == INVALID_HANDLE_VALUE)
            return GetLastError();
        UniqueFind listing(first);
        do
            found.push_back(entry);
        while (FindNextFileW(listing.get(), &entry));
        const DWORD error = GetLastError();
        return error == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : error;
    }
    std::shared_ptr<void> Hold(const std::wstring& path, DWORD& attributes) override {
        const HANDLE opened = CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (opened == INVALID_HANDLE_VALUE)
            return nullptr;
        std::shared_ptr<void> held(opened, [](HANDLE handle) { CloseHandle(handle); });
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(opened, &info)) {
            // Closed first, so that the caller reads this call's error.
            const DWORD error = GetLastError();
            held.reset();
            SetLastError(error);
            return nullptr;
        }
        attributes = info.dwFileAttributes;
        return held;
    }
    bool RemoveFolder(const std::wstring& path) override { return RemoveDirectoryW(path.c_str()) != FALSE; }
    Status DeleteEntry(const std::wstring& path, const std::string& shown, bool links) override {
        return DeleteThroughHandle(path, shown, links);
    }
};

// No message boxes from the system for a drive without a medium.
class QuietErrors {
public:
    QuietErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~QuietErrors() { SetErrorMode(previous_); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    UINT previous_;
};

} // namespace

EntryCalls& SystemEntryCalls() {
    static SystemCalls calls;
    return calls;
}

Result<uint64_t> Win32FileSystem::FileLength(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        if (Missing(error))
            return NotFound(path);
        return Error{ErrorCode::CannotOpen, "Cannot examine " + path + ": " + SystemMessage(error)};
    }
    if (IsFolder(data.dwFileAttributes))
        return Error{ErrorCode::CannotOpen, "Not a file: " + path};
    return SizeOf(data.nFileSizeHigh, data.nFileSizeLow);
}

bool Win32FileSystem::FileExists(const std::string& path) {
    if (HasNul(path))
        return false;
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !IsFolder(attributes);
}

bool Win32FileSystem::FolderExists(const std::string& path) {
    return !HasNul(path) && IsExistingFolder(path);
}

bool Win32FileSystem::IsLink(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (wide.empty() || HasNul(path))
        return false;
    const DWORD attributes = calls_.Attributes(LongPath(wide));
    return attributes != INVALID_FILE_ATTRIBUTES && IsReparsePoint(attributes);
}

Result<std::string> Win32FileSystem::LinkTarget(const std::string& path) {
    if (!IsLink(path))
        return Error{ErrorCode::InvalidArgument, path + " is not a link"};
    // Opened as the reparse point itself, which is never entered.
    UniqueKernelHandle link = Opened(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                                 nullptr));
    if (!link)
        return CannotOpen(path, SystemMessage(GetLastError()));
    std::vector<BYTE> record(MAXIMUM_REPARSE_DATA_BUFFER_SIZE);
    DWORD size = 0;
    if (!DeviceIoControl(link.get(), FSCTL_GET_REPARSE_POINT, nullptr, 0, record.data(),
                         static_cast<DWORD>(record.size()), &size, nullptr))
        return CannotOpen(path, SystemMessage(GetLastError()));
    auto name = ReparseName(record, size);
    if (!name)
        return CannotOpen(path, name.error().message);
    // Only shown to the user: a character the code page lacks becomes '?', never a look-alike.
    std::string text;
    bool missing = false;
    if (!InCodePage(name.value(), text, missing))
        return CannotOpen(path, "the link's name cannot be shown");
    return text;
}

Result<std::vector<std::string>> Win32FileSystem::ListFiles(const std::string& folder,
                                                            const std::string& pattern) {
    std::vector<ListedEntry> entries;
    const std::wstring wide = Wide(folder);
    if (wide.empty() || HasNul(folder) || !ListWide(calls_, wide, L"*", entries) || !IsExistingFolder(folder))
        return Error{ErrorCode::FileNotFound, "Cannot list " + folder};
    std::vector<std::string> names;
    for (const ListedEntry& entry : entries)
        if (!IsFolder(entry.attributes) && entry.name.exact && MatchesPattern(entry.name.text, pattern))
            names.push_back(entry.name.text);
    SortNamesWithoutCase(names);
    return names;
}

Result<std::vector<std::string>> Win32FileSystem::ListFolders(const std::string& folder) {
    QuietErrors quiet;
    std::vector<ListedEntry> entries;
    const std::wstring wide = Wide(folder);
    if (wide.empty() || HasNul(folder) || !ListWide(calls_, wide, L"*", entries)) {
        const DWORD error = GetLastError();
        return Error{error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND || wide.empty()
                         ? ErrorCode::FileNotFound
                         : ErrorCode::CannotOpen,
                     "The folder " + folder + " cannot be read"};
    }
    std::vector<std::string> names;
    for (const ListedEntry& entry : entries)
        if (IsFolder(entry.attributes) && entry.name.exact)
            names.push_back(entry.name.text);
    // The folder list sorts as the system compares names for the user.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    return names;
}

namespace {

void ListWideTree(EntryCalls& calls, const std::wstring& folder, const std::string& shown,
                  std::vector<std::string>& found) {
    std::vector<ListedEntry> entries;
    (void)ListWide(calls, folder, L"*", entries);
    for (const ListedEntry& entry : entries) {
        found.push_back(Joined(shown, entry.name.text));
        if (IsFolder(entry.attributes) && !IsReparsePoint(entry.attributes))
            ListWideTree(calls, Joined(folder, entry.wide), Joined(shown, entry.name.text), found);
    }
}

} // namespace

std::vector<std::string> Win32FileSystem::ListTree(const std::string& folder) {
    std::vector<std::string> found;
    if (const std::wstring wide = Wide(folder); !wide.empty() && !HasNul(folder))
        ListWideTree(calls_, wide, folder, found);
    return found;
}

Result<std::vector<uint8_t>> Win32FileSystem::ReadWholeFile(const std::string& path, uint64_t maxBytes) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    const DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return Missing(error) ? NotFound(path) : CannotOpen(path, SystemMessage(error));
    }
    if (IsFolder(attributes))
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

Status Win32FileSystem::CreateFolder(const std::string& path) {
    if (path.empty() || HasNul(path))
        return Error{ErrorCode::InvalidArgument, "Not a folder name: " + path};
    if (CreateDirectoryA(path.c_str(), nullptr))
        return Status::Ok();
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS && IsExistingFolder(path))
        return Error{ErrorCode::AlreadyExists, "The folder exists already: " + path};
    return Error{ErrorCode::WriteFailed, "Cannot create the folder " + path + ": " + SystemMessage(error)};
}

Status Win32FileSystem::WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
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

Status Win32FileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    if (HasNul(from) || HasNul(to))
        return NotFound(from);
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Status::Ok();
    const DWORD error = GetLastError();
    return Error{error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ErrorCode::FileNotFound
                                                                                : ErrorCode::WriteFailed,
                 "could not move " + from + " to " + to + ": error " + std::to_string(error)};
}

Status Win32FileSystem::ClearReadOnly(const std::string& path) {
    const DWORD attributes = HasNul(path) || path.empty() ? INVALID_FILE_ATTRIBUTES : Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return Missing(error) ? Status(NotFound(path)) : Status(CannotOpen(path, SystemMessage(error)));
    }
    if (IsReparsePoint(attributes) || IsFolder(attributes))
        return Error{ErrorCode::InvalidArgument, path + " is not a plain file"};
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return Status::Ok();
    // The other attributes stay; none at all is said as FILE_ATTRIBUTE_NORMAL.
    DWORD rest = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (rest == 0)
        rest = FILE_ATTRIBUTE_NORMAL;
    if (SetFileAttributesA(path.c_str(), rest))
        return Status::Ok();
    return WriteError(path, SystemMessage(GetLastError()));
}

Status Win32FileSystem::RemoveFile(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    // DeleteFile refuses folders, and takes a file link without following it.
    return DeleteFileA(path.c_str()) ? Status::Ok() : Status(DeleteError(path));
}

Status Win32FileSystem::RemovePlainFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (wide.empty() || HasNul(path))
        return NotFound(path);
    return DeleteThroughHandle(wide, path, false);
}

std::vector<std::string> Win32FileSystem::RemoveTree(const std::string& folder, const std::vector<std::string>& only) {
    std::vector<std::string> stayed;
    std::vector<std::wstring> names;
    for (const std::string& name : only)
        names.push_back(Wide(name));
    const std::wstring wide = Wide(folder);
    if (wide.empty() || HasNul(folder))
        stayed.push_back(folder + " (the name is not valid here)");
    else
        (void)RemoveWideTree(calls_, wide, folder, stayed, names);
    return stayed;
}

Status Win32FileSystem::RemoveLink(const std::string& path) {
    // The attributes are the link's own: a folder link (or junction) goes with RemoveDirectory,
    // which never enters it, a file link through a handle on itself, which never follows it.
    const std::wstring wide = Wide(path);
    if (wide.empty() || HasNul(path))
        return NotFound(path);
    const DWORD attributes = calls_.Attributes(LongPath(wide));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return DeleteError(path);
    if (!IsReparsePoint(attributes))
        return Error{ErrorCode::InvalidArgument, path + " is not a link"};
    if (!IsFolder(attributes))
        return calls_.DeleteEntry(wide, path, true);
    return calls_.RemoveFolder(LongPath(wide)) ? Status::Ok() : Status(DeleteError(path));
}

std::vector<DriveInfo> Win32FileSystem::List() {
    QuietErrors quiet;
    std::vector<DriveInfo> found;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(mask & (1u << i)))
            continue;
        DriveInfo drive;
        drive.letter = static_cast<char>('a' + i);
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        const UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_REMOTE) {
            // A share that cannot be read leaves the drive without a description.
            if (auto share = NetworkDriveShare(drive.letter))
                drive.description = std::move(share).value();
        } else if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) {
            // Asking a removable drive for its label would wait for its medium.
            char label[MAX_PATH + 1] = {};
            if (GetVolumeInformationA(root.c_str(), label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
                drive.description = label;
        }
        found.push_back(std::move(drive));
    }
    return found;
}

Result<std::string> Win32FileSystem::CurrentFolder(char drive) {
    QuietErrors quiet;
    const std::string driveName{static_cast<char>(std::toupper(static_cast<unsigned char>(drive))), ':'};
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(driveName.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full)
        return Error{ErrorCode::CannotOpen, "Drive " + driveName + " cannot be read"};
    std::string path(full, length);
    if (path.size() > 3 && EndsWithSeparator(path))
        path.pop_back();
    return path;
}

char Win32FileSystem::CurrentDrive() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length >= 2 && length < sizeof folder && folder[1] == ':')
        return AsciiLower(folder[0]);
    return 'c';
}

uint32_t Win32FileSystem::Type(char letter) {
    const char root[] = {static_cast<char>(std::toupper(static_cast<unsigned char>(letter))), ':', '\\', '\0'};
    return GetDriveTypeA(root);
}

} // namespace tess::platform::win32
