// The uninstall command is stored quoted, so that a folder with spaces cannot be taken for a
// shorter program path. The application path's "Path" value holds the program's full path; the
// key's default value, which the system reads to start the program by name, holds it too.
#include "registration.h"

#include "core/product.h"

namespace tess::installer {

namespace {

// Each value opens its key anew, so that one refused write leaves the others to be tried.
bool Write(platform::RegistryApi& registry, const char* keyPath, const std::string& name, uint32_t type,
           const uint8_t* data, uint32_t size) {
    return platform::WriteValue(registry, platform::kHKeyLocalMachine, keyPath, name, type, data, size) ==
           platform::kErrorSuccess;
}

} // namespace

std::vector<std::string> WriteRegistration(platform::RegistryApi& registry, const std::string& appDir,
                                           uint32_t estimatedSizeKb) {
    using namespace product;
    std::vector<std::string> failed;
    const std::string programPath = appDir + "\\" + kProgramFile;
    // Stored without a terminating NUL, as the setup program always stored them.
    const auto text = [&](const char* key, const char* name, const std::string& value) {
        if (!Write(registry, key, name, platform::kRegSz, reinterpret_cast<const uint8_t*>(value.data()),
                   static_cast<uint32_t>(value.size())))
            failed.push_back(*name ? name : "(default)");
    };
    const auto number = [&](const char* name, uint32_t value) {
        if (!Write(registry, kUninstallKey, name, platform::kRegDword, platform::DwordBytes(value).data(), 4))
            failed.push_back(name);
    };
    text(kUninstallKey, kUninstallString, "\"" + appDir + "\\" + kUninstallerFile + "\"");
    text(kUninstallKey, kDisplayIcon, programPath);
    text(kUninstallKey, kDisplayVersion, kVersion);
    text(kUninstallKey, kPublisherValue, kPublisher);
    text(kUninstallKey, kInstallLocation, appDir);
    number(kEstimatedSize, estimatedSizeKb);
    number(kNoModify, 1);
    number(kNoRepair, 1);
    text(kAppPathKey, "", programPath);
    text(kAppPathKey, kAppPathValue, programPath);
    text(kUninstallKey, kDisplayName, kName);
    return failed;
}

bool UnlistProduct(platform::RegistryApi& registry) {
    const platform::OpenedKey opened = OpenKey(registry, platform::kHKeyLocalMachine, product::kUninstallKey);
    return opened.ok() && registry.DeleteValue(opened.key.get(), product::kDisplayName) == platform::kErrorSuccess;
}

bool RelistProduct(platform::RegistryApi& registry) {
    const std::string name = product::kName;
    return Write(registry, product::kUninstallKey, product::kDisplayName, platform::kRegSz,
                 reinterpret_cast<const uint8_t*>(name.data()), static_cast<uint32_t>(name.size()));
}

} // namespace tess::installer
