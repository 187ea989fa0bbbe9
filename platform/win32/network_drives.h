// The share a network drive stands for, from the system's network library, which is loaded from
// the system folder when asked for and never linked: see system_library.h.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::platform::win32 {

// The share ("\\server\share") that drive `letter` ('a' to 'z', either case) is connected to; an
// error when the drive is no connected network drive or the network library cannot be had.
Result<std::string> NetworkDriveShare(char letter);

} // namespace tess::platform::win32
