// Folders that hold installed programs, which every user may read and run but only the
// administrators and the system may change: made new that way, or an existing one taken over.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::platform {

class ProgramFolders {
public:
    virtual ~ProgramFolders() = default;
    // Makes the folder `path` (not the folders above it) with those permissions in the one step
    // that creates it, so that it is never open to others in between. AlreadyExists when the name
    // is taken, by a folder, a file or a link.
    virtual Status Create(const std::string& path) = 0;
    // Takes over the existing folder `path`: the administrators become the owner of it and of
    // everything below it, the folder gets those permissions, protected from its parent's, and
    // everything below it inherits them and keeps no entry of its own. A link at or below `path`,
    // or a file that has another name elsewhere, is refused (InvalidArgument) before its own
    // permissions change.
    virtual Status TakeOver(const std::string& path) = 0;
};

} // namespace tess::platform
