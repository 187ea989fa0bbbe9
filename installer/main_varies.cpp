// Setting writes go through one key-opening path so that both value types get the same checks
// and the key is closed on every path; the queries read the system through SystemInfo.
#include "main_varies.h"

#include "setup_strings.h"

namespace tess::installer {

namespace {

// RegCreateKeyExA's disposition and access are not used by these writes: the key is created
// when missing and opened otherwise, which RegistryApi::CreateKey does as well.
SettingResult WriteSetting(platform::RegistryApi& registry, const std::string& appName,
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

    const platform::OpenedKey opened =
        OpenKey(registry, platform::kHKeyLocalMachine, "SOFTWARE\\" + app + "\\" + sec, platform::IfMissing::Create);
    if (!opened.ok())
        return {kSettingRegistryError + static_cast<int32_t>(opened.error),
                "Could not open/create registry section"};
    const long written = registry.SetValueEx(opened.key.get(), key, type, data, size);
    if (written != platform::kErrorSuccess)
        return {kSettingRegistryError + static_cast<int32_t>(written), "Could not set key value"};
    return {};
}

} // namespace

SettingResult SaveStringSetting(platform::RegistryApi& registry, const std::string& appName,
                                const std::string& section, const std::string& key,
                                const std::string& setting) {
    return WriteSetting(registry, appName, section, key, platform::kRegSz,
                        reinterpret_cast<const uint8_t*>(setting.data()),
                        static_cast<uint32_t>(setting.size()));
}

SettingResult SaveDwordSetting(platform::RegistryApi& registry, const std::string& appName,
                               const std::string& section, const std::string& key,
                               uint32_t setting) {
    return WriteSetting(registry, appName, section, key, platform::kRegDword, platform::DwordBytes(setting).data(), 4);
}

uint32_t GetPlatformId(const platform::SystemInfo& system) {
    const std::optional<platform::OsVersion> version = system.Version();
    return version ? version->platformId : 0;
}

bool IsWin95(const platform::SystemInfo& system) { return (GetPlatformId(system) & 1) != 0; }

bool IsWinNT(const platform::SystemInfo& system) { return (GetPlatformId(system) & 2) != 0; }

bool IsWinNT4(const platform::SystemInfo& system) {
    const std::optional<platform::OsVersion> version = system.Version();
    return IsWinNT(system) && version && version->major > 3;
}

bool IsWin4(const platform::SystemInfo& system) { return IsWin95(system) || IsWinNT4(system); }

std::string FirstFixedDrive(platform::Drives& drives) {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (drives.Type(letter) == platform::Drives::Fixed)
            return std::string(1, letter) + ":\\";
    }
    return "C:\\";
}

std::string InitInstallDir(platform::RegistryApi& registry, const platform::SystemInfo& system, platform::Drives& drives) {
    std::string folder;
    if (IsWin4(system)) {
        const platform::OpenedKey opened =
            OpenKey(registry, platform::kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
        if (opened.ok())
            folder = platform::RegQueryString(registry, opened.key.get(), "ProgramFilesDir").value_or("");
    }
    return folder.empty() ? FirstFixedDrive(drives) : folder;
}

} // namespace tess::installer
