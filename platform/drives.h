// The drive role: the drives and each drive's current folder, as the drive and folder lists show
// them. Not a file operation: the host, which has no drive letters, knows none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"
#include "platform/drive_info.h"

namespace tess::platform {

class Drives {
public:
    virtual ~Drives() = default;

    // The drive types that the programs tell apart, numbered as GetDriveTypeA numbers them.
    enum Kind : uint32_t { NoRootDir = 1, Removable = 2, Fixed = 3, CdRom = 5 };

    // The drives in letter order.
    virtual std::vector<DriveInfo> List() = 0;
    // The folder the system keeps as a drive's current one (its root unless set), e.g.
    // "C:\\Windows"; an error when the drive cannot be read.
    virtual Result<std::string> CurrentFolder(char drive) = 0;
    // The drive of the program's current folder, lower case; 'c' when it lies on none.
    virtual char CurrentDrive() = 0;
    // The type of the drive with that letter (GetDriveTypeA on its root): NoRootDir for a
    // letter that is no drive.
    virtual uint32_t Type(char letter) = 0;
};

} // namespace tess::platform
