// The digests of the programs this setup program installs, compiled into it by the build from the
// very files it packed into the cabinet (cmake/TessPackedDigests.cmake).
#pragma once

#include "installer/install_services.h"

namespace tess::installer::win32 {

PackedDigests PackedProgramDigests();

} // namespace tess::installer::win32
