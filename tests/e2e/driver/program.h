// Starting a program under test as a user's shell would, waiting for it to end, ending it when a
// test is done with it, listing the libraries it has loaded, and telling who started a program.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "core/result.h"
#include "platform/win32/handles.h"
#include "wait.h"

namespace tess::e2e {

struct StartOptions {
    std::string program;                 // full path of the .exe
    std::vector<std::string> arguments;  // quoted for the command line as needed
    std::string workingFolder;           // empty: the driver's own current folder
    // Variables added to (or replacing those of) the driver's environment.
    std::vector<std::pair<std::string, std::string>> environment;
};

// A started program. It owns the process; a program still running when this is destroyed is
// ended, so a failed test leaves nothing behind.
class RunningProgram {
public:
    static Result<RunningProgram> Start(const StartOptions& options);
    // A program another one started (the shell, a setup program), taken over through one of its
    // windows: it is waited for and ended like one started here.
    static Result<RunningProgram> Adopt(HWND window);

    RunningProgram(RunningProgram&&) = default;
    RunningProgram& operator=(RunningProgram&&) = default;
    ~RunningProgram();

    DWORD processId() const { return processId_; }
    bool running() const;
    // The full path of the program's file, as the system started it.
    Result<std::string> programFile() const;
    // The exit code once the program has ended by itself and its windows are gone.
    Result<DWORD> waitForExit(Timeout timeout = kDefaultTimeout) const;
    // Ends the program at once with `exitCode` and waits until it and its windows are gone.
    Status terminate(UINT exitCode = 1);

private:
    RunningProgram() = default;
    platform::win32::UniqueKernelHandle process_;
    DWORD processId_ = 0;
};

// The full paths of the modules loaded in process `processId` at this moment: its program file
// and every library, however it was loaded.
Result<std::vector<std::string>> LoadedModules(DWORD processId);

// The id of the process that started process `processId`.
Result<DWORD> ParentProcessId(DWORD processId);
// The full path of the program file of process `processId`.
Result<std::string> ProcessFile(DWORD processId);

// One argument quoted the way the C runtime splits a command line back into arguments.
std::string QuoteArgument(const std::string& argument);

} // namespace tess::e2e
