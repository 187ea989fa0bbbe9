// The uninstall command is stored quoted, so that a folder with spaces cannot be taken for a
// shorter program path. The application path's "Path" value holds the program's full path; the
// key's default value, which the system reads to start the program by name, holds it too.
#include "registration.h"

#include "main_varies.h"

namespace tess::installer {

namespace {

// The key's default value, which the setting writes refuse (they require a value name).
bool WriteDefaultValue(RegistryApi& registry, const std::string& subKey, const std::string& value) {
    RegKey opened = 0;
    if (registry.CreateKey(kHKeyLocalMachine, subKey, &opened) != kErrorSuccess)
        return false;
    ScopedRegKey owned(registry, opened);
    return registry.SetValueEx(owned.get(), "", kRegSz,
                               reinterpret_cast<const uint8_t*>(value.data()),
                               static_cast<uint32_t>(value.size())) == kErrorSuccess;
}

} // namespace

std::vector<std::string> WriteRegistration(RegistryApi& registry, const std::string& appDir,
                                           const ProductInfo& product, uint32_t estimatedSizeKb) {
    std::vector<std::string> failed;
    const std::string programPath = appDir + "\\" + product.program;
    const auto text = [&](const char* parent, const char* key, const std::string& name,
                          const std::string& value) {
        if (!SaveStringSetting(registry, parent, key, name, value).ok())
            failed.push_back(name);
    };
    const auto number = [&](const std::string& name, uint32_t value) {
        if (!SaveDwordSetting(registry, kUninstallParent, kUninstallKey, name, value).ok())
            failed.push_back(name);
    };
    text(kUninstallParent, kUninstallKey, "DisplayName", product.displayName);
    text(kUninstallParent, kUninstallKey, "UninstallString",
         "\"" + appDir + "\\" + product.uninstaller + "\"");
    text(kUninstallParent, kUninstallKey, "DisplayIcon", programPath);
    text(kUninstallParent, kUninstallKey, "DisplayVersion", product.version);
    text(kUninstallParent, kUninstallKey, "Publisher", product.publisher);
    text(kUninstallParent, kUninstallKey, "InstallLocation", appDir);
    number("EstimatedSize", estimatedSizeKb);
    number("NoModify", 1);
    number("NoRepair", 1);
    if (!WriteDefaultValue(registry,
                           std::string("SOFTWARE\\") + kAppPathsParent + "\\" + kAppPathsKey,
                           programPath))
        failed.push_back("(default)");
    text(kAppPathsParent, kAppPathsKey, "Path", programPath);
    return failed;
}

} // namespace tess::installer
