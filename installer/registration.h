// The installed product's registry entries: the uninstall entry that the system's list of
// programs shows and the application path that lets the system start the program by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/registry.h"

namespace tess::installer {

// Keys below HKEY_LOCAL_MACHINE\SOFTWARE, as a setting's application name and section.
inline constexpr const char* kUninstallParent = "Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kUninstallKey = "Tessary";
inline constexpr const char* kAppPathsParent = "Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr const char* kAppPathsKey = "Tessary.exe";

struct ProductInfo {
    std::string displayName = "Tessary";
    std::string version = "1.0";
    std::string publisher = "Halvory";
    std::string program = "Tessary.exe";
    std::string uninstaller = "remover.exe";
};

// Writes every value, going on after a failure; returns the names of the values not written.
// `appDir` is the application folder; `estimatedSizeKb` the installed size in KiB.
std::vector<std::string> WriteRegistration(RegistryApi& registry, const std::string& appDir,
                                           const ProductInfo& product, uint32_t estimatedSizeKb);

} // namespace tess::installer
