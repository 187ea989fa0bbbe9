// The shell's file associations, set up by a test so that opening a web page or a bitmap runs a
// program of the test's choosing instead of whatever the system would start.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::e2e {

// Makes `extension` (".htm") a file of type `progId` whose "open" verb runs `command`
// ("\"C:\\...\\opener.exe\" \"%1\""), replacing any association the extension had.
Status AssociateExtension(const std::string& extension, const std::string& progId,
                          const std::string& command);
// Leaves `extension` with no association at all; one that had none counts as removed.
Status RemoveAssociation(const std::string& extension);

} // namespace tess::e2e
