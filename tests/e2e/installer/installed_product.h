// Where the installed product is found, for the tests of its setup program and of its whole life:
// the default base folder, the Start-menu Programs folders, its registry keys, its main window.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <string>

#include "core/product.h"
#include "tests/e2e/driver/registry_files.h"

namespace tess::e2e {

using product::kAppPathKey;
using product::kUninstallKey;
using product::kSkinMakerCaption;

// The default base folder as the system gives it to a 32-bit program.
inline std::string ProgramFilesFolder() {
    auto folder = ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                     "ProgramFilesDir");
    return folder ? folder.value() : "C:\\Program Files";
}

inline bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

// A shell folder's path by its number; empty when the system names none.
inline std::string ShellFolder(int csidl) {
    char folder[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, folder, csidl, FALSE)) return {};
    return folder;
}

// All users' Start-menu Programs folder, which holds the product's group.
inline std::string ProgramsFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS); }

// The user's own Start-menu Programs folder, where an earlier version put its group.
inline std::string UserProgramsFolder() { return ShellFolder(CSIDL_PROGRAMS); }

} // namespace tess::e2e
