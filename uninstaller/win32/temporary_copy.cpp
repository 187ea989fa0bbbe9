// The copy is given a unique name by the system and started with the application folder on its
// command line; it schedules its own removal, since it cannot delete itself while it runs.
#include "uninstaller/win32/temporary_copy.h"

#include <windows.h>

#include "ui/win32/win32_handles.h"

namespace tess::uninstaller::win32 {

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

bool StartTemporaryCopy(const std::string& ownFile, const std::string& appDir) {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length > MAX_PATH)
        return false;
    char copy[MAX_PATH + 1] = {};
    if (!GetTempFileNameA(temp, "tes", 0, copy))
        return false;
    if (!CopyFileA(ownFile.c_str(), copy, FALSE)) {
        DeleteFileA(copy);
        return false;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"";
    commandLine.append(copy).append("\" ").append(kAppDirSwitch).append(" \"").append(appDir);
    commandLine.push_back('"');
    if (!CreateProcessA(copy, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, temp,
                        &startup, &started)) {
        DeleteFileA(copy);
        return false;
    }
    ui::win32::UniqueKernelHandle thread(started.hThread), process(started.hProcess);
    return true;
}

bool RemoveAtRestart(const std::string& path) {
    return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

} // namespace tess::uninstaller::win32
