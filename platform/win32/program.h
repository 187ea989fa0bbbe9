// Program-wide services on Win32: the named-mutex guard that lets one copy run, the running
// program's file, folder and command line, starting another program, and asking windows to close.
#pragma once

#include <windows.h>

#include <string>

#include "core/result.h"
#include "platform/win32/handles.h"

namespace tess::platform::win32 {

// Holds a named mutex for the life of the program. Creating a named mutex is atomic, so of
// two copies started together exactly one finds it new.
class SingleInstanceGuard {
public:
    static Result<SingleInstanceGuard> Acquire(const std::string& name);
    // Whether another copy created the mutex first; that copy should then end.
    bool anotherRunning() const { return anotherRunning_; }

private:
    SingleInstanceGuard(UniqueKernelHandle mutex, bool another)
        : mutex_(std::move(mutex)), anotherRunning_(another) {}
    UniqueKernelHandle mutex_;
    bool anotherRunning_;
};

// The running program's file, and its folder without a trailing backslash.
std::string ProgramFile();
std::string ProgramFolder();

// The command line after the program's own name, quoted or not.
std::string CommandLineArguments();

// Starts `program` (a full path) with a normal window, in its own folder, without waiting for
// it; an error when the system cannot start it.
Status StartProgram(const std::string& program);

// Asks every top-level window titled exactly `title` to close, five times in a row as windows
// that close leave others of that title behind; waits for each to handle the request, but not
// for one that has stopped answering.
void CloseWindowsTitled(const std::string& title);

} // namespace tess::platform::win32
