// Setting writes go through one key-opening path so that both value types get the same checks
// and the key is closed on every path; the queries read the system through SystemInfo.
#include "main_varies.h"

#include <array>
#include <vector>

#include "setup_strings.h"

namespace tess::installer {

namespace {

// RegCreateKeyExA's disposition and access are not used by these writes: the key is created
// when missing and opened otherwise, which RegistryApi::CreateKey does as well.
SettingResult WriteSetting(RegistryApi& registry, const std::string& appName,
                           const std::string& section, const std::string& key, uint32_t type,
                           const uint8_t* data, uint32_t size) {
    const std::string app = TrimSpaces(appName);
    const std::string sec = TrimSpaces(section);
    if (app.empty())
        return {kSettingAppNameEmpty, "AppName may not be empty"};
    if (sec.empty())
        return {kSettingSectionEmpty, "Section may not be empty"};
    if (TrimSpaces(key).empty())
        return {kSettingKeyEmpty, "Key may not be empty"};

    RegKey opened = 0;
    const long created = registry.CreateKey(kHKeyLocalMachine, "SOFTWARE\\" + app + "\\" + sec,
                                            &opened);
    if (created != kErrorSuccess)
        return {kSettingRegistryError + static_cast<int32_t>(created),
                "Could not open/create registry section"};
    ScopedRegKey owned(registry, opened);
    const long written = registry.SetValueEx(owned.get(), key, type, data, size);
    if (written != kErrorSuccess)
        return {kSettingRegistryError + static_cast<int32_t>(written), "Could not set key value"};
    return {};
}

} // namespace

SettingResult SaveStringSetting(RegistryApi& registry, const std::string& appName,
                                const std::string& section, const std::string& key,
                                const std::string& setting) {
    return WriteSetting(registry, appName, section, key, kRegSz,
                        reinterpret_cast<const uint8_t*>(setting.data()),
                        static_cast<uint32_t>(setting.size()));
}

SettingResult SaveDwordSetting(RegistryApi& registry, const std::string& appName,
                               const std::string& section, const std::string& key,
                               uint32_t setting) {
    // REG_DWORD is little-endian whatever the host.
    const std::array<uint8_t, 4> bytes = {
        static_cast<uint8_t>(setting), static_cast<uint8_t>(setting >> 8),
        static_cast<uint8_t>(setting >> 16), static_cast<uint8_t>(setting >> 24)};
    return WriteSetting(registry, appName, section, key, kRegDword, bytes.data(), 4);
}

std::optional<std::string> RegQueryString(RegistryApi& registry, RegKey key,
                                          const std::string& name) {
    uint32_t type = 0;
    uint32_t size = 0;
    if (registry.QueryValueEx(key, name, &type, nullptr, &size) != kErrorSuccess || type != kRegSz)
        return std::nullopt;
    // One byte more than reported, so the value comes back terminated even when it was stored
    // without its NUL; a value that grew in between fails with kErrorMoreData.
    std::vector<uint8_t> buffer(size + 1, ' ');
    uint32_t got = size + 1;
    if (registry.QueryValueEx(key, name, &type, buffer.data(), &got) != kErrorSuccess ||
        type != kRegSz)
        return std::nullopt;
    return CutAtNull(std::string(buffer.begin(), buffer.begin() + got));
}

uint32_t GetPlatformId(const SystemInfo& system) {
    const std::optional<OsVersion> version = system.Version();
    return version ? version->platformId : 0;
}

bool IsWin95(const SystemInfo& system) { return (GetPlatformId(system) & 1) != 0; }

bool IsWinNT(const SystemInfo& system) { return (GetPlatformId(system) & 2) != 0; }

bool IsWinNT4(const SystemInfo& system) {
    const std::optional<OsVersion> version = system.Version();
    return IsWinNT(system) && version && version->major > 3;
}

bool IsWin4(const SystemInfo& system) { return IsWin95(system) || IsWinNT4(system); }

std::string FirstFixedDrive(const SystemInfo& system) {
    for (int index = 0; index < 26; ++index) {
        if (system.DriveType(index) == kDriveFixed)
            return std::string(1, static_cast<char>('A' + index)) + ":\\";
    }
    return "C:\\";
}

std::string InitInstallDir(RegistryApi& registry, const SystemInfo& system) {
    std::string folder;
    RegKey opened = 0;
    if (IsWin4(system) &&
        registry.OpenKey(kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                         &opened) == kErrorSuccess) {
        ScopedRegKey owned(registry, opened);
        folder = RegQueryString(registry, owned.get(), "ProgramFilesDir").value_or(std::string());
    }
    return folder.empty() ? FirstFixedDrive(system) : folder;
}

} // namespace tess::installer
