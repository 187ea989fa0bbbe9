// The uninstaller's output is taken through a temporary file given to it as its standard output;
// it writes there when it has no console.
#include "tests/e2e/driver/installed_programs.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "tests/e2e/driver/registry_files.h"

namespace tess::e2e {

Result<std::string> InstalledProgramsList() {
    char temp[MAX_PATH] = {}, file[MAX_PATH] = {};
    if (!GetTempPathA(MAX_PATH, temp) || !GetTempFileNameA(temp, "lst", 0, file))
        return Error{ErrorCode::CannotOpen, "no temporary file for the list"};
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    {
        HANDLE opened = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        if (opened == INVALID_HANDLE_VALUE) return Error{ErrorCode::CannotOpen, file};
        platform::win32::UniqueKernelHandle output(opened);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = output.get();
        PROCESS_INFORMATION started{};
        std::string line = "uninstaller.exe --list";
        if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &started))
            return Error{ErrorCode::CannotOpen, "uninstaller.exe could not be started"};
        platform::win32::UniqueKernelHandle thread(started.hThread), process(started.hProcess);
        if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0)
            return Error{ErrorCode::CannotOpen, "uninstaller.exe --list did not end"};
    }
    auto bytes = ReadFileBytes(file);
    DeleteFileA(file);
    if (!bytes) return bytes.error();
    return std::string(bytes.value().begin(), bytes.value().end());
}

bool ListsProgram(const std::string& list, const std::string& key, const std::string& name) {
    const std::string line = key + "|||" + name;
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::string entry = list.substr(start, end - start);
        if (!entry.empty() && entry.back() == '\r') entry.pop_back();
        if (entry == line) return true;
        start = end + 1;
    }
    return false;
}

} // namespace tess::e2e
