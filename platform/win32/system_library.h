// Loading system libraries from the system folder only, and keeping the program's own folder out
// of the DLL search path: a setup program is often started from a folder that holds other
// downloads, any of which may carry a system library's name. A program that must not meet such a
// library links only the system's known libraries and loads any other through SystemLibrary.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "core/result.h"
#include "platform/win32/handles.h"

namespace tess::platform::win32 {

// Loads `name` (a file name such as "cabinet.dll") from the system folder: through
// LOAD_LIBRARY_SEARCH_SYSTEM32 where the loader understands it, else by its full path there.
UniqueModule LoadSystemLibrary(const std::string& name);

// A library of the system folder, loaded for as long as this object lives, and its functions.
class SystemLibrary {
public:
    // Loaded through LoadSystemLibrary; an error naming the library when it cannot be.
    static Result<SystemLibrary> Load(const std::string& name);

    // The library's function `name` as the pointer type `Function`; an error when it has none.
    template <typename Function>
    Result<Function> function(const char* name) const {
        const FARPROC found = GetProcAddress(module_.get(), name);
        if (!found)
            return Error{ErrorCode::CannotOpen, "the system library " + name_ + " has no " + name};
        return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
    }

private:
    SystemLibrary(UniqueModule module, std::string name)
        : module_(std::move(module)), name_(std::move(name)) {}
    UniqueModule module_;
    std::string name_;
};

enum class DllSearchRestriction {
    DefaultDirectories,  // SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)
    EmptyDllDirectory,   // SetDllDirectoryA("") and the system's later libraries loaded ahead
    None,
};

// What the program takes the loader to offer.
enum class LoaderFeatures {
    AsFound,
    // As on a loader without the search flags (Vista and 7 without KB2533623, XP): taken by the
    // test builds of the elevated programs so that a newer system goes that way too.
    WithoutSearchFlags,
};

// The loader features of the program being compiled: the test builds of the elevated programs
// are compiled with TESS_LOADER_WITHOUT_SEARCH_FLAGS, the programs that are shipped never.
#ifdef TESS_LOADER_WITHOUT_SEARCH_FLAGS
constexpr LoaderFeatures kProgramLoaderFeatures = LoaderFeatures::WithoutSearchFlags;
#else
constexpr LoaderFeatures kProgramLoaderFeatures = LoaderFeatures::AsFound;
#endif

// Narrows the process's DLL search path at start, as far as the system allows. A loader without
// the search flags only drops the current folder, and the program's own folder stays first for a
// library loaded by name: every library the system's libraries load later is then loaded at once
// from the system folder and kept, since a load by name takes a library of that name already
// loaded. The default argument is read where the call is compiled, in the program's WinMain.
DllSearchRestriction RestrictDllSearchPath(LoaderFeatures features = kProgramLoaderFeatures);

// The system folder (GetSystemDirectoryA), without a trailing backslash; empty on failure.
std::string SystemDirectory();

} // namespace tess::platform::win32
