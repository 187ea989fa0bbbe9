// Loading system libraries from the system folder only, and keeping the program's own folder out
// of the DLL search path: a setup program is often started from a folder that holds other
// downloads, any of which may carry a system library's name.
#pragma once

#include <windows.h>

#include <string>

#include "ui/win32/win32_handles.h"

namespace tess::platform::win32 {

using ui::win32::UniqueModule;

// Loads `name` (a file name such as "cabinet.dll") from the system folder: through
// LOAD_LIBRARY_SEARCH_SYSTEM32 where the loader understands it, else by its full path there.
UniqueModule LoadSystemLibrary(const std::string& name);

enum class DllSearchRestriction {
    DefaultDirectories,  // SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)
    EmptyDllDirectory,   // SetDllDirectoryA(""): only the current folder is dropped
    None,
};

// Narrows the process's DLL search path at start, as far as the system allows.
DllSearchRestriction RestrictDllSearchPath();

// The system folder (GetSystemDirectoryA), without a trailing backslash; empty on failure.
std::string SystemDirectory();

} // namespace tess::platform::win32
