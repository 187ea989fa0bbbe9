// Each call passes its strings to the ANSI function, with an empty verb, parameter list or
// folder as the null the system reads as "none", and returns the HINSTANCE code as an int.
#include "win32_shell.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdint>

// The headers map these names to their ANSI or wide functions; here they name the interface's
// members, and the calls below name the ANSI functions themselves.
#undef FindExecutable
#undef ShellExecute

namespace tess::skinmaker::win32 {

namespace {

const char* NoneIfEmpty(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

// The shell's result is a code dressed as a handle: values up to 32 are failures.
int CodeOf(HINSTANCE result) { return static_cast<int>(reinterpret_cast<intptr_t>(result)); }

} // namespace

int Win32Shell::FindExecutable(const std::string& file, const std::string& directory,
                               std::string& program) {
    // The system writes at most MAX_PATH characters and their NUL here.
    char found[MAX_PATH + 1] = {};
    const int code = CodeOf(FindExecutableA(file.c_str(), NoneIfEmpty(directory), found));
    found[MAX_PATH] = '\0';
    program = found;
    return code;
}

int Win32Shell::ShellExecute(uintptr_t owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory,
                             int show) {
    return CodeOf(ShellExecuteA(reinterpret_cast<HWND>(owner), NoneIfEmpty(verb), file.c_str(),
                                NoneIfEmpty(parameters), NoneIfEmpty(directory), show));
}

} // namespace tess::skinmaker::win32
