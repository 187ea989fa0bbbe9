// The copy's folder is made by the elevated uninstaller with a protected list of who may use it,
// so that no unelevated program can plant a library beside the copy or swap the copy before it
// starts; the copy schedules its own removal, since it cannot delete itself while it runs.
#include "uninstaller/win32/temporary_copy.h"

#include <windows.h>

#include <objbase.h>

#include <cstdio>

#include "core/ascii_case.h"
#include "platform/path_text.h"
#include "platform/win32/folder_security.h"

namespace tess::uninstaller::win32 {

namespace {

// The name the installed uninstaller's file takes in the copy's folder, beside the copy.
constexpr const char* kSetAsidePrefix = "installed-";

std::string TempFolder() {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH)
        return {};
    std::string folder(temp, length);
    while (platform::EndsWithSeparator(folder))
        folder.pop_back();
    return folder;
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

Result<std::string> CreatePrivateFolder(const std::string& parent,
                                        const std::function<std::string()>& names, int tries) {
    // Owned by the administrators, full access for them and the system only, nothing inherited
    // from the temporary folder, and the same for every file and folder made inside.
    for (int i = 0; i < tries; ++i) {
        const std::string name = names();
        if (name.empty())
            return Error{ErrorCode::InvalidArgument, "no name for a private folder"};
        const std::string folder = parent + "\\" + name;
        const Status made = platform::win32::CreateFolderWith(folder, platform::win32::FolderAccess::Private);
        if (made.ok())
            return folder;
        if (made.error().code != ErrorCode::AlreadyExists)
            return made.error();
    }
    return Error{ErrorCode::AlreadyExists,
                 "every private folder name tried in " + parent + " exists"};
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
    const std::string temp = TempFolder();
    if (temp.empty())
        return Error{ErrorCode::FileNotFound, "the temporary folder"};
    auto folder = CreatePrivateFolder(temp, RandomFolderName);
    if (!folder)
        return folder.error();
    const std::string copy = folder.value() + "\\" + platform::LastName(ownFile);
    if (!CopyFileA(ownFile.c_str(), copy.c_str(), TRUE)) {
        const DWORD error = GetLastError();
        RemoveDirectoryA(folder.value().c_str());
        return Error{ErrorCode::WriteFailed, copy + " (error " + std::to_string(error) + ")"};
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"";
    commandLine.append(copy).append("\" ").append(kAppDirSwitch).append(" \"").append(appDir);
    commandLine.push_back('"');
    if (!CreateProcessA(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.value().c_str(), &startup, &started)) {
        const DWORD error = GetLastError();
        DeleteFileA(copy.c_str());
        RemoveDirectoryA(folder.value().c_str());
        return Error{ErrorCode::CannotOpen, copy + " (error " + std::to_string(error) + ")"};
    }
    ui::win32::UniqueKernelHandle thread(started.hThread);
    return StartedCopy{ui::win32::UniqueKernelHandle(started.hProcess), std::move(folder).value()};
}

int WaitForCopy(const StartedCopy& copy, int failedCode) {
    // This program may have been started in the application folder, and a current folder cannot
    // be removed.
    SetCurrentDirectoryA(copy.folder.c_str());
    DWORD code = 0;
    if (WaitForSingleObject(copy.process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(copy.process.get(), &code))
        return failedCode;
    return static_cast<int>(code);
}

std::string PrivateFolderOf(const std::string& ownFile) {
    const std::string folder = platform::ParentFolder(ownFile);
    const std::string prefix = AsciiLower(std::string(kCopyFolderPrefix));
    if (folder.empty() || !platform::SamePath(platform::ParentFolder(folder), TempFolder()) ||
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
