// Each query asks the system once and turns its failure into an error value; the shell's item
// list is freed through its owner.
#include "platform/win32/win32_system_info.h"

#include <objbase.h>
#include <shlobj.h>

#include "platform/path_text.h"
#include "platform/win32/system_library.h"

namespace tess::platform::win32 {

namespace {

// Owns a shell item list, freed with CoTaskMemFree.
class ItemList {
public:
    ItemList() = default;
    ~ItemList() { CoTaskMemFree(items_); }
    ItemList(const ItemList&) = delete;
    ItemList& operator=(const ItemList&) = delete;
    LPITEMIDLIST* out() { return &items_; }
    LPCITEMIDLIST get() const { return items_; }

private:
    LPITEMIDLIST items_ = nullptr;
};

// A folder from a call that fills a MAX_PATH buffer and returns the length, 0 on failure.
template <typename Call>
Result<std::string> FolderFrom(Call call, const char* what) {
    char buffer[MAX_PATH];
    const UINT length = call(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return Error{ErrorCode::FileNotFound, std::string("the ") + what + " is unknown"};
    return std::string(buffer, length);
}

} // namespace

std::optional<OsVersion> Win32SystemInfo::Version() const {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return std::nullopt;
#pragma GCC diagnostic pop
    return OsVersion{info.dwPlatformId, info.dwMajorVersion};
}

Result<std::string> Win32SystemInfo::SpecialFolder(int csidl) const {
    ItemList items;
    if (SHGetSpecialFolderLocation(owner_, csidl, items.out()) != S_OK || !items.get())
        return Error{ErrorCode::FileNotFound, "shell folder " + std::to_string(csidl) + " is unknown"};
    char buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(items.get(), buffer) || buffer[0] == '\0')
        return Error{ErrorCode::FileNotFound, "shell folder " + std::to_string(csidl) + " has no path"};
    std::string folder(buffer);
    if (folder.size() > 3 && EndsWithSeparator(folder))
        folder.pop_back();
    return folder;
}

Result<std::string> Win32SystemInfo::WindowsFolder() const {
    return FolderFrom([](char* buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); },
                      "Windows folder");
}

Result<std::string> Win32SystemInfo::SystemFolder() const {
    const std::string folder = SystemDirectory();
    if (folder.empty())
        return Error{ErrorCode::FileNotFound, "the system folder is unknown"};
    return folder;
}

Result<std::string> Win32SystemInfo::TempFolder() const {
    return FolderFrom([](char* buffer, UINT size) { return GetTempPathA(size, buffer); },
                      "temporary folder");
}

} // namespace tess::platform::win32
