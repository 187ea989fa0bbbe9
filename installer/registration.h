// The installed product's registry entries: the uninstall entry that the system's list of
// programs shows and the application path that lets the system start the program by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tess::installer {

// Writes every value of the product's uninstall entry and application path (core/product.h),
// going on after a failure; returns the names of the values not written. `appDir` is the
// application folder; `estimatedSizeKb` the installed size in KiB. The entry's name goes last:
// the system lists an entry only with its name and its uninstall command, so an entry cut short
// is never offered.
std::vector<std::string> WriteRegistration(platform::RegistryApi& registry, const std::string& appDir,
                                           uint32_t estimatedSizeKb);

// Takes the uninstall entry off the system's list by deleting its name, the rest of it kept;
// true when a listed entry was taken off.
bool UnlistProduct(platform::RegistryApi& registry);
// Lists the entry again under the product's name; true when written.
bool RelistProduct(platform::RegistryApi& registry);

} // namespace tess::installer
