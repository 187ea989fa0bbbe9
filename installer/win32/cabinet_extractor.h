// Taking one named entry out of a cabinet archive through the system's cabinet library (FDI in
// cabinet.dll, loaded from the system folder only).
#pragma once

#include <string>

#include "core/result.h"
#include "installer/install_services.h"

namespace tess::installer::win32 {

// Writes the entry `entry` of the cabinet at `cabinetPath` to `destinationPath`, replacing a file
// there. Only that file is written (through a temporary sibling that is moved into place), so
// entry names in the cabinet never decide where anything goes. An entry name that is a path
// leaving its folder ("..", a root or a drive) is refused; a missing entry, a damaged cabinet or
// a missing library is an error and leaves the destination as it was.
Status ExtractCabinetEntry(const std::string& cabinetPath, const std::string& entry,
                           const std::string& destinationPath);

class Win32CabinetExtractor : public CabinetExtractor {
public:
    Status Extract(const std::string& cabinetPath, const std::string& entry,
                   const std::string& destinationPath) override {
        return ExtractCabinetEntry(cabinetPath, entry, destinationPath);
    }
};

} // namespace tess::installer::win32
