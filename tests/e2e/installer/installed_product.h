// Where the installed product is found, for the tests of its setup program and of its whole life:
// the default base folder, the Start-menu Programs folders and their shortcuts' targets, its
// registry keys, its main window.
#pragma once

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

#include "core/product.h"
#include "tests/e2e/driver/code_page.h"
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

// The target of a shortcut as the shell's link object reads it, in UTF-8: asked for in UTF-16,
// so that a target beyond the driver's code page reads as it is.
inline std::string ShortcutTarget(const std::string& link) {
    std::string target = "(unreadable)";
    if (FAILED(CoInitialize(nullptr))) return target;
    IShellLinkW* shortcut = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shortcut)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(Wide(link).c_str(), STGM_READ)) &&
                shortcut->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH) == S_OK)
                target = Utf8(path);
            file->Release();
        }
        shortcut->Release();
    }
    CoUninitialize();
    return target;
}

// The shortcut's item ID list, by which the shell runs it, handed to `use`; false when the
// shortcut cannot be read or holds none.
template <typename Use>
bool WithShortcutItem(const std::string& link, Use use) {
    if (FAILED(CoInitialize(nullptr))) return false;
    bool used = false;
    IShellLinkW* shortcut = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shortcut)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            PIDLIST_ABSOLUTE items = nullptr;
            if (SUCCEEDED(file->Load(Wide(link).c_str(), STGM_READ)) && shortcut->GetIDList(&items) == S_OK) {
                used = use(items);
                CoTaskMemFree(items);
            }
            file->Release();
        }
        shortcut->Release();
    }
    CoUninitialize();
    return used;
}

// The path of the item a shortcut's ID list names, in UTF-8; "(unreadable)" when it names none.
inline std::string ShortcutItemPath(const std::string& link) {
    std::string path = "(unreadable)";
    WithShortcutItem(link, [&](PIDLIST_ABSOLUTE items) {
        wchar_t found[MAX_PATH] = {};
        if (!SHGetPathFromIDListW(items, found)) return false;
        path = Utf8(found);
        return true;
    });
    return path;
}

// Opens the item a shortcut's ID list names, as the shell opens a shortcut.
inline bool OpenShortcutItem(const std::string& link) {
    return WithShortcutItem(link, [](PIDLIST_ABSOLUTE items) {
        SHELLEXECUTEINFOW run{};
        run.cbSize = sizeof run;
        run.fMask = SEE_MASK_IDLIST;
        run.lpIDList = items;
        run.nShow = SW_SHOWNORMAL;
        return ShellExecuteExW(&run) != FALSE;
    });
}

} // namespace tess::e2e
