// The copy's folder is made by the elevated uninstaller with a protected list of who may use it
// and held open from the call that makes it, so that no unelevated program can plant a library
// beside the copy or swap the copy or its folder before it starts.
#include "uninstaller/win32/temporary_copy.h"

#include <windows.h>

#include <objbase.h>
#include <winternl.h>

#include <cstdio>

#include "core/ascii_case.h"
#include "platform/path_text.h"
#include "platform/win32/folder_security.h"

namespace tess::uninstaller::win32 {

namespace {

// The name the installed uninstaller's file takes in the copy's folder, beside the copy.
constexpr const char* kSetAsidePrefix = "installed-";

// NTSTATUS of a name that is taken.
constexpr LONG kStatusNameCollision = static_cast<LONG>(0xC0000035);
// NtCreateFile's disposition and options: make a new object, never open one; a folder; waits
// within the calls on the handle.
constexpr ULONG kFileCreate = 2;
constexpr ULONG kFileDirectoryFile = 0x1;
constexpr ULONG kFileSynchronousIoNonalert = 0x20;

std::string WithoutTrailingSeparators(std::string folder) {
    while (platform::EndsWithSeparator(folder))
        folder.pop_back();
    return folder;
}

std::string TempFolder() {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH)
        return {};
    return WithoutTrailingSeparators(std::string(temp, length));
}

// The system's name for an absolute path of the Win32 calls, in UTF-16.
std::wstring NativePath(const std::string& path) {
    std::string native;
    if (path.rfind("\\\\?\\", 0) == 0)
        native = "\\??\\" + path.substr(4);
    else if (path.rfind("\\\\", 0) == 0)
        native = "\\??\\UNC\\" + path.substr(2);
    else
        native = "\\??\\" + path;
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, native.data(),
                                           static_cast<int>(native.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, native.data(), static_cast<int>(native.size()),
                        wide.data(), length);
    return wide;
}

// Makes the folder `path` with `descriptor` and opens it in the same call. Made first and opened
// by name after, the new folder could be renamed in between by whoever may write its parent, and
// another put in its place. The handle reads the folder's entries because the system keeps the
// share modes only of handles that read, write or delete: one that shares no deletion denies
// every rename and deletion of the folder only then. It shares reading and writing, so that the
// copy can start with the folder as its current one and files can be made inside.
Result<platform::win32::UniqueKernelHandle> CreateHeldFolder(const std::string& path,
                                                       PSECURITY_DESCRIPTOR descriptor) {
    std::wstring native = NativePath(path);
    if (native.empty() || native.size() * sizeof(wchar_t) > 0xFFFE)
        return Error{ErrorCode::InvalidArgument, "Not a folder name: " + path};
    UNICODE_STRING name{static_cast<USHORT>(native.size() * sizeof(wchar_t)),
                        static_cast<USHORT>(native.size() * sizeof(wchar_t)), native.data()};
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, nullptr, descriptor);
    IO_STATUS_BLOCK io{};
    HANDLE made = nullptr;
    const NTSTATUS status =
        NtCreateFile(&made, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes, &io,
                     nullptr, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, kFileCreate,
                     kFileDirectoryFile | kFileSynchronousIoNonalert, nullptr, 0);
    if (status == kStatusNameCollision)
        return Error{ErrorCode::AlreadyExists, path};
    if (!NT_SUCCESS(status))
        return Error{ErrorCode::WriteFailed,
                     path + " (error " + std::to_string(RtlNtStatusToDosError(status)) + ")"};
    platform::win32::UniqueKernelHandle held(made);
    // A new object is never a link, but whatever the handle holds is checked before it is trusted.
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(held.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return Error{ErrorCode::InvalidArgument, path + " is not a folder of its own"};
    return held;
}

// Gives up a private folder that the copy was not started from, with what was made in it.
void Discard(PrivateFolder& folder, const std::string& file) {
    (void)DeleteFileA(file.c_str());
    folder.held.reset();
    (void)RemoveDirectoryA(folder.path.c_str());
}

} // namespace

std::optional<std::string> AppDirArgument(const std::string& arguments) {
    const std::string prefix = std::string(kAppDirSwitch) + " ";
    if (arguments.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    std::string folder = arguments.substr(prefix.size());
    const size_t start = folder.find_first_not_of(' ');
    folder = start == std::string::npos ? std::string() : folder.substr(start);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"')
        folder = folder.substr(1, folder.size() - 2);
    if (folder.empty())
        return std::nullopt;
    return folder;
}

Result<platform::win32::UniqueSecurityDescriptor> PrivateFolderDescriptor() {
    return platform::win32::MakeDescriptor(platform::win32::FolderAccess::Private,
                                           platform::win32::Placement::Folder);
}

Result<PrivateFolder> CreatePrivateFolder(const std::string& parent,
                                          const std::function<std::string()>& names, int tries) {
    auto descriptor = PrivateFolderDescriptor();
    if (!descriptor)
        return descriptor.error();
    for (int i = 0; i < tries; ++i) {
        const std::string name = names();
        if (name.empty())
            return Error{ErrorCode::InvalidArgument, "no name for a private folder"};
        std::string folder = parent + "\\" + name;
        auto held = CreateHeldFolder(folder, descriptor.value().get());
        if (held)
            return PrivateFolder{std::move(folder), std::move(held).value()};
        if (held.error().code != ErrorCode::AlreadyExists)
            return held.error();
    }
    return Error{ErrorCode::AlreadyExists,
                 "every private folder name tried in " + parent + " exists"};
}

bool KeepsPermissions(const std::string& folder) {
    // The volume's root, also for a volume mounted in a folder. Asked through its root rather
    // than through a handle, which not every system answers with the volume's flags.
    char root[MAX_PATH + 1] = {};
    DWORD flags = 0;
    return GetVolumePathNameA(folder.c_str(), root, sizeof root) &&
           GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
           (flags & FILE_PERSISTENT_ACLS) != 0;
}

std::string SystemTempFolder() {
    // The Windows folder of the system, not a user's own one under Terminal Services.
    char windows[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryA(windows, sizeof windows);
    if (length == 0 || length > MAX_PATH)
        return {};
    return WithoutTrailingSeparators(std::string(windows, length)) + "\\Temp";
}

std::string PrivateFolderParent(const std::string& temp, const std::string& systemTemp,
                                const std::function<bool(const std::string&)>& keepsPermissions) {
    for (const std::string& folder : {temp, systemTemp}) {
        if (!folder.empty() && keepsPermissions(folder))
            return folder;
    }
    return {};
}

std::string RandomFolderName() {
    GUID random{};
    if (FAILED(CoCreateGuid(&random)))
        return {};
    char text[33] = {};
    std::snprintf(text, sizeof text, "%08lX%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned long>(random.Data1), random.Data2, random.Data3,
                  random.Data4[0], random.Data4[1], random.Data4[2], random.Data4[3],
                  random.Data4[4], random.Data4[5], random.Data4[6], random.Data4[7]);
    return std::string(kCopyFolderPrefix) + text;
}

Result<StartedCopy> StartTemporaryCopy(const std::string& ownFile, const std::string& appDir) {
    // On a volume without permissions the folder's descriptor would protect nothing.
    const std::string parent = PrivateFolderParent(TempFolder(), SystemTempFolder(), KeepsPermissions);
    if (parent.empty())
        return Error{ErrorCode::NotSupported, "no temporary folder on a volume that keeps permissions"};
    auto made = CreatePrivateFolder(parent, RandomFolderName);
    if (!made)
        return made.error();
    PrivateFolder folder = std::move(made).value();
    const std::string copy = folder.path + "\\" + platform::LastName(ownFile);
    if (!CopyFileA(ownFile.c_str(), copy.c_str(), TRUE)) {
        const DWORD error = GetLastError();
        Discard(folder, copy);
        return Error{ErrorCode::WriteFailed, copy + " (error " + std::to_string(error) + ")"};
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"";
    commandLine.append(copy).append("\" ").append(kAppDirSwitch).append(" \"").append(appDir);
    commandLine.push_back('"');
    if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.path.c_str(), &startup, &started)) {
        const DWORD error = GetLastError();
        Discard(folder, copy);
        return Error{ErrorCode::CannotOpen, copy + " (error " + std::to_string(error) + ")"};
    }
    platform::win32::UniqueKernelHandle thread(started.hThread);
    return StartedCopy{platform::win32::UniqueKernelHandle(started.hProcess), std::move(folder),
                       copy};
}

int WaitForCopy(const StartedCopy& copy, int failedCode) {
    // This program may have been started in the application folder, and a current folder cannot
    // be removed.
    SetCurrentDirectoryA(copy.folder.path.c_str());
    DWORD code = 0;
    if (WaitForSingleObject(copy.process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(copy.process.get(), &code))
        return failedCode;
    return static_cast<int>(code);
}

void RemoveCopy(StartedCopy& copy) {
    // The folder is still held and only administrators may write in it, so the copy's name leads
    // to the copy.
    (void)DeleteFileA(copy.file.c_str());
    // Out of the folder, which cannot be removed while it is a current one.
    (void)SetCurrentDirectoryA(platform::ParentFolder(copy.folder.path).c_str());
    copy.folder.held.reset();
    // By name once released: what may have taken the name since is no more than an empty folder
    // or a link in a temporary folder, which its maker could remove as well.
    (void)RemoveDirectoryA(copy.folder.path.c_str());
}

std::string PrivateFolderOf(const std::string& ownFile) {
    const std::string folder = platform::ParentFolder(ownFile);
    const std::string parent = platform::ParentFolder(folder);
    const std::string prefix = AsciiLower(std::string(kCopyFolderPrefix));
    if (folder.empty() ||
        !(platform::SamePath(parent, TempFolder()) || platform::SamePath(parent, SystemTempFolder())) ||
        AsciiLower(platform::LastName(folder)).rfind(prefix, 0) != 0)
        return {};
    return folder;
}

bool SetAside(const std::string& file, const std::string& folder) {
    const std::string moved = folder + "\\" + kSetAsidePrefix + platform::LastName(file);
    // Without MOVEFILE_COPY_ALLOWED: to another volume the move fails rather than leave a copy
    // behind a file that cannot be deleted.
    if (!MoveFileExA(file.c_str(), moved.c_str(), 0))
        return false;
    // The restart takes its removals in order, and a folder goes only once it is empty: the
    // folder is named again after the file that has just come in.
    (void)RemoveAtRestart(moved);
    (void)RemoveAtRestart(folder);
    return true;
}

bool RemoveAtRestart(const std::string& path) {
    return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

} // namespace tess::uninstaller::win32
