// A drive as the drive list shows it: its letter and its label or share name. Apart from the file
// system so that the control model's lists can read drives without knowing the file system.
#pragma once

#include <string>

namespace tess::platform {

struct DriveInfo {
    char letter = 'c';        // lower case
    std::string description;  // the volume label or share name; empty for none
};

} // namespace tess::platform
