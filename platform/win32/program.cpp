// The program services over kernel32 and user32: nothing here needs a window of its own, so a
// program uses them before, or without, any window of the binding.
#include "platform/win32/program.h"

#include "platform/path_text.h"

namespace tess::platform::win32 {

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

std::string ProgramFile() {
    // In UTF-8 a path of fewer than MAX_PATH characters may take up to three times as many bytes:
    // a path that fills the buffer may have been cut, so it is asked for again with more room.
    std::string path(MAX_PATH, '\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size() &&
           path.size() < 32768)
        path.resize(path.size() * 2);
    path.resize(length);
    return path;
}

std::string ProgramFolder() {
    return ParentFolder(ProgramFile());
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

Status StartProgram(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    // Quoted, so that a folder with spaces is not read as a shorter program and its arguments.
    std::string commandLine = "\"" + program + "\"";
    // It starts in its own folder; a bare name starts in this program's current folder.
    const std::string folder = ParentFolder(program);
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        return Error{ErrorCode::CannotOpen, "cannot start " + program + " (error " +
                                                std::to_string(GetLastError()) + ")"};
    // The started program runs on by itself; its handles are not needed here.
    UniqueKernelHandle thread(started.hThread);
    UniqueKernelHandle process(started.hProcess);
    return Status::Ok();
}

void CloseWindowsTitled(const std::string& title) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        HWND window = FindWindowA(nullptr, title.c_str());
        if (!window) continue;
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, &answer);
    }
}

} // namespace tess::platform::win32
