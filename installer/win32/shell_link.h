// Shortcut files (.lnk) written through the shell's link object, and the Start-menu shortcuts of
// the installation over it.
#pragma once

#include <string>

#include "core/result.h"
#include "installer/install_services.h"

namespace tess::installer::win32 {

// Writes the shortcut `linkPath` to `target` with `arguments` and the description (the caption
// that the shell shows as its tip). The target's folder becomes the working folder. The folder of
// `linkPath` must exist.
Status CreateShellLink(const std::string& linkPath, const std::string& target,
                       const std::string& arguments, const std::string& description);

class Win32ShellLinks : public ShellLinks {
public:
    Status CreateLink(const std::string& linkPath, const std::string& target,
                      const std::string& arguments, const std::string& description) override {
        return CreateShellLink(linkPath, target, arguments, description);
    }
};

} // namespace tess::installer::win32
