// The setup program's registry settings and system queries: writing values under
// HKEY_LOCAL_MACHINE\SOFTWARE, the platform tests and the default installation folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/drives.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace tess::installer {

// Error numbers of a failed setting write; a registry failure adds the call's result r to
// kSettingRegistryError.
inline constexpr int32_t kSettingAppNameEmpty = static_cast<int32_t>(0x800403E8u);
inline constexpr int32_t kSettingSectionEmpty = static_cast<int32_t>(0x800403E9u);
inline constexpr int32_t kSettingKeyEmpty = static_cast<int32_t>(0x800403EAu);
inline constexpr int32_t kSettingRegistryError = static_cast<int32_t>(0x800407D0u);

// The outcome of a setting write: number 0 when it worked, else the error number and its text.
struct [[nodiscard]] SettingResult {
    int32_t number = 0;
    std::string description;
    bool ok() const { return number == 0; }
};

// Writes `setting` as a REG_SZ value named `key` (as given, spaces kept) under
// HKEY_LOCAL_MACHINE\SOFTWARE\<app>\<section> (both trimmed), creating the key when missing. The
// stored bytes are the text without its terminating NUL.
SettingResult SaveStringSetting(platform::RegistryApi& registry, const std::string& appName,
                                const std::string& section, const std::string& key,
                                const std::string& setting);
// The same checks and key for a REG_DWORD value.
SettingResult SaveDwordSetting(platform::RegistryApi& registry, const std::string& appName,
                               const std::string& section, const std::string& key,
                               uint32_t setting);

// The platform id of the version record, 0 when the version cannot be read.
uint32_t GetPlatformId(const platform::SystemInfo& system);
bool IsWin95(const platform::SystemInfo& system);
bool IsWinNT(const platform::SystemInfo& system);
bool IsWinNT4(const platform::SystemInfo& system);
bool IsWin4(const platform::SystemInfo& system);

// The root of the first fixed drive from A to Z, "C:\" when none is fixed.
std::string FirstFixedDrive(platform::Drives& drives);

// The default installation folder: the system's ProgramFilesDir, else the first fixed drive.
std::string InitInstallDir(platform::RegistryApi& registry, const platform::SystemInfo& system, platform::Drives& drives);

} // namespace tess::installer
