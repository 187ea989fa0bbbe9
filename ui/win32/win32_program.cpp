// The single-instance guard, the hidden application window whose close request ends the program,
// the program's file, folder and command line, and close requests to windows by title.
#include "ui/win32/win32_program.h"

namespace tess::ui::win32 {

Result<SingleInstanceGuard> SingleInstanceGuard::Acquire(const std::string& name) {
    UniqueKernelHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
    const DWORD error = GetLastError();
    if (!mutex) {
        // A name held by an object of another kind, or no right to it: another program owns
        // the name, and running beside it is not safe to assume.
        if (error == ERROR_INVALID_HANDLE || error == ERROR_ACCESS_DENIED)
            return SingleInstanceGuard(UniqueKernelHandle(), true);
        return Error{ErrorCode::CannotOpen,
                     "The mutex " + name + " cannot be created (error " + std::to_string(error) + ")"};
    }
    return SingleInstanceGuard(std::move(mutex), error == ERROR_ALREADY_EXISTS);
}

ApplicationWindow::ApplicationWindow(const std::string& title, std::function<void()> onClose)
    : onClose_(std::move(onClose)) {
    constexpr const char* kClass = "TessApplication";
    RegisterClassOnce(kClass, 0, nullptr);
    // Never shown: WS_OVERLAPPED without WS_VISIBLE.
    window_.reset(createWindow(kClass, 0, title.c_str(), WS_OVERLAPPED, RECT{0, 0, 0, 0}, nullptr,
                               nullptr));
}

bool ApplicationWindow::onClose() {
    if (onClose_) onClose_();
    return true;
}

std::string ProgramFile() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length);
}

std::string ProgramFolder() {
    const std::string file = ProgramFile();
    const size_t slash = file.find_last_of('\\');
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

std::string CommandLineArguments() {
    const char* line = GetCommandLineA();
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

void CloseWindowsTitled(const std::string& title) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        HWND window = FindWindowA(nullptr, title.c_str());
        if (!window) continue;
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    }
}

} // namespace tess::ui::win32
