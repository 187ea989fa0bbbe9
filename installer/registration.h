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
// application folder; `estimatedSizeKb` the installed size in KiB.
std::vector<std::string> WriteRegistration(RegistryApi& registry, const std::string& appDir,
                                           uint32_t estimatedSizeKb);

} // namespace tess::installer
