// CreateProcess with a command line built from separate arguments and an environment block made
// from the driver's own with the test's variables laid over it; the modules of a process through
// EnumProcessModules, as Wine's Toolhelp snapshots of 32-bit processes come back empty-handed;
// a process's parent from a Toolhelp snapshot of the processes, which Wine fills.
#include "program.h"

#include "code_page.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

namespace tess::e2e {

namespace {

// Environment names compare without regard to case on Windows.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
        });
    }
};

// The driver's environment with `extra` laid over it, as a block of NUL-terminated
// "NAME=value" strings ended by another NUL, sorted by name as Windows keeps it.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& extra) {
    std::map<std::string, std::string, NoCaseLess> variables;
    std::vector<std::string> driveFolders;  // "=C:=C:\..." entries keep their place in front
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* entry = block; *entry; entry += std::strlen(entry) + 1) {
            const std::string text(entry);
            const size_t eq = text.find('=', 1);
            if (text[0] == '=' || eq == std::string::npos)
                driveFolders.push_back(text);
            else
                variables[text.substr(0, eq)] = text.substr(eq + 1);
        }
        FreeEnvironmentStringsA(block);
    }
    for (const auto& [name, value] : extra) {
        variables.erase(name);
        variables[name] = value;
    }
    std::string result;
    for (const std::string& entry : driveFolders)
        result += entry + '\0';
    for (const auto& [name, value] : variables)
        result += name + '=' + value + '\0';
    result += '\0';
    return result;
}

BOOL CALLBACK FindWindowOf(HWND window, LPARAM wanted) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    auto* search = reinterpret_cast<std::pair<DWORD, bool>*>(wanted);
    search->second = processId == search->first;
    return !search->second;
}

bool HasWindows(DWORD processId) {
    std::pair<DWORD, bool> search{processId, false};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

std::string SystemMessage(DWORD code) {
    return "system error " + std::to_string(code);
}

} // namespace

std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped; elsewhere they stay.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote, backslashes are doubled so that it stays a closing quote.
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

Result<RunningProgram> RunningProgram::Start(const StartOptions& options) {
    std::string commandLine = QuoteArgument(options.program);
    for (const std::string& argument : options.arguments)
        commandLine += ' ' + QuoteArgument(argument);
    std::string environment = EnvironmentBlock(options.environment);

    // Wide, for a program or folder named beyond the driver's code page; the environment block
    // stays in the code page (no CREATE_UNICODE_ENVIRONMENT), as its variables are ASCII.
    std::wstring wideCommandLine = Wide(commandLine);
    const std::wstring workingFolder = Wide(options.workingFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(Wide(options.program).c_str(), wideCommandLine.data(), nullptr, nullptr, FALSE, 0,
                        environment.data(), workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info))
        return Error{ErrorCode::CannotOpen, "cannot start " + options.program + ": " + SystemMessage(GetLastError())};
    platform::win32::UniqueKernelHandle thread(info.hThread);
    RunningProgram program;
    program.process_ = platform::win32::UniqueKernelHandle(info.hProcess);
    program.processId_ = info.dwProcessId;
    return program;
}

Result<RunningProgram> RunningProgram::Adopt(HWND window) {
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId))
        return Error{ErrorCode::InvalidArgument, "no such window"};
    RunningProgram program;
    program.process_.reset(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!program.process_)
        return Error{ErrorCode::CannotOpen, "cannot open the process: " + SystemMessage(GetLastError())};
    program.processId_ = processId;
    return program;
}

RunningProgram::~RunningProgram() {
    if (process_)
        (void)terminate();
}

bool RunningProgram::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

Result<std::string> RunningProgram::programFile() const {
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process_ || !QueryFullProcessImageNameW(process_.get(), 0, path, &length))
        return Error{ErrorCode::CannotOpen, "cannot read the program's path"};
    return Utf8(std::wstring(path, length));
}

Result<DWORD> RunningProgram::waitForExit(Timeout timeout) const {
    if (!process_)
        return Error{ErrorCode::InvalidArgument, "no program was started"};
    if (WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return Error{ErrorCode::TimedOut,
                     "the program did not end within " + std::to_string(timeout.count()) + " ms"};
    // Wine removes an ended program's windows a moment after the process ends, and gives its id
    // to the next program: until they are gone, a search by id could find them.
    if (Status cleared = WaitUntil([&] { return !HasWindows(processId_); }, "the program's windows to go", timeout);
        !cleared)
        return cleared.error();
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

Status RunningProgram::terminate(UINT exitCode) {
    if (running() && !TerminateProcess(process_.get(), exitCode))
        return Error{ErrorCode::CannotOpen, "cannot end the program: " + SystemMessage(GetLastError())};
    return waitForExit().status();
}

Result<std::vector<std::string>> LoadedModules(DWORD processId) {
    const platform::win32::UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process)
        return Error{ErrorCode::CannotOpen, "cannot open process " + std::to_string(processId) + ": " +
                                                SystemMessage(GetLastError())};
    // A list that grew between the two calls is asked for again.
    std::vector<HMODULE> modules(64);
    for (;;) {
        DWORD needed = 0;
        const DWORD offered = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
        if (!EnumProcessModules(process.get(), modules.data(), offered, &needed))
            return Error{ErrorCode::CannotOpen, "cannot list the modules of process " + std::to_string(processId) +
                                                    ": " + SystemMessage(GetLastError())};
        const bool complete = needed <= offered;
        modules.resize(needed / sizeof(HMODULE));
        if (complete) break;
    }
    std::vector<std::string> paths;
    for (HMODULE module : modules) {
        char path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameExA(process.get(), module, path, MAX_PATH);
        // A library unloaded since the list was taken has no name any more.
        if (length > 0 && length < MAX_PATH) paths.emplace_back(path, length);
    }
    return paths;
}

Result<DWORD> ParentProcessId(DWORD processId) {
    platform::win32::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.get() == INVALID_HANDLE_VALUE) {
        (void)snapshot.release();
        return Error{ErrorCode::CannotOpen, "cannot list the processes: " + SystemMessage(GetLastError())};
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot.get(), &entry); more; more = Process32Next(snapshot.get(), &entry))
        if (entry.th32ProcessID == processId) return entry.th32ParentProcessID;
    return Error{ErrorCode::FileNotFound, "no process " + std::to_string(processId) + " is running"};
}

Result<std::string> ProcessFile(DWORD processId) {
    const platform::win32::UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path, &length))
        return Error{ErrorCode::CannotOpen, "cannot read the program file of process " + std::to_string(processId)};
    return Utf8(std::wstring(path, length));
}

} // namespace tess::e2e
