// The services the installation runs on besides the file system, as interfaces: taking an entry
// out of a cabinet, and shortcut files. The Windows build gives the real ones.
#pragma once

#include <cstdint>
#include <string>

#include "core/result.h"

namespace tess::installer {

class CabinetExtractor {
public:
    virtual ~CabinetExtractor() = default;
    // Writes the entry named `entry` of the cabinet at `cabinetPath` to `destinationPath`,
    // replacing a file there; nothing else is written.
    virtual Status Extract(const std::string& cabinetPath, const std::string& entry,
                           const std::string& destinationPath) = 0;
};

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    // Writes the shortcut file `linkPath` (ending in ".lnk") to `target` with `arguments`,
    // described by `description`.
    virtual Status CreateLink(const std::string& linkPath, const std::string& target,
                              const std::string& arguments, const std::string& description) = 0;
};

} // namespace tess::installer
