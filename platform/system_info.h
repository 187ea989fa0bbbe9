// What the programs ask the system about: the version and the special folders,
// behind an interface so that the folder rules run without Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/result.h"

namespace tess::platform {

// Shell folder identifiers (the system's CSIDL numbers).
inline constexpr int kCsidlPrograms = 2;
inline constexpr int kCsidlStartMenu = 11;
inline constexpr int kCsidlCommonStartMenu = 22;
inline constexpr int kCsidlCommonPrograms = 23;
inline constexpr int kCsidlLocalAppData = 28;
inline constexpr int kCsidlProgramFiles = 38;

// The two fields of the version record that the setup program reads.
struct OsVersion {
    uint32_t platformId = 0;  // 1: the Windows 95 family, 2: the NT family
    uint32_t major = 0;
};

class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // GetVersionExA; nothing when the call fails.
    virtual std::optional<OsVersion> Version() const = 0;
    // The path of a shell folder (CSIDL number), without a trailing backslash.
    virtual Result<std::string> SpecialFolder(int csidl) const = 0;
    virtual Result<std::string> WindowsFolder() const = 0;
    virtual Result<std::string> SystemFolder() const = 0;
    // The temporary folder as GetTempPathA gives it, with its trailing backslash.
    virtual Result<std::string> TempFolder() const = 0;
};

} // namespace tess::platform
