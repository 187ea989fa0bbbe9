// The system queries of the programs over kernel32 and the shell: version, special folders, and
// the Windows, system and temporary folders.
#pragma once

#include <windows.h>

#include "platform/system_info.h"

namespace tess::platform::win32 {

class Win32SystemInfo : public SystemInfo {
public:
    // `owner` is the window that the shell may parent any question to; it may be null.
    explicit Win32SystemInfo(HWND owner = nullptr) : owner_(owner) {}

    std::optional<OsVersion> Version() const override;
    Result<std::string> SpecialFolder(int csidl) const override;
    Result<std::string> WindowsFolder() const override;
    Result<std::string> SystemFolder() const override;
    Result<std::string> TempFolder() const override;

private:
    HWND owner_;  // not owned
};

} // namespace tess::platform::win32
