// What a system's file system implements: every role in one object, which a program's start-up
// hands out to each part by the role it needs (Files, FileTrees, Drives). The system's own is
// SystemFileSystem().
#pragma once

#include "platform/drives.h"
#include "platform/file_trees.h"

namespace tess::platform {

class FileSystem : public FileTrees, public Drives {};

// The system's file system, one for the whole program.
FileSystem& SystemFileSystem();

} // namespace tess::platform
