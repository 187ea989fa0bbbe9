// Where the skin maker keeps what it writes: the skin, the collection and the page that finds
// the browser. Its own folder where the user may write there, else the user's own data folder.
#pragma once

#include <string>

#include "platform/files.h"

namespace tess::skinmaker {

// Whether a file can be created, replaced and deleted in `folder`: a real write of a small file,
// removed at once. A failed removal counts as no leave to write.
bool CanWriteIn(platform::Files& files, const std::string& folder);

// `programFolder` when the user can write there, as the original design writes beside the
// program; otherwise `localAppData` followed by "\Tessary", made when missing. The browser reads
// the toolbar value in its own process, so the file it names must be where every process finds
// it, not in a store the system redirects one program's writes to. With no local application
// data folder known, the program's folder is all there is.
std::string ChooseDataFolder(platform::Files& files, const std::string& programFolder,
                             const std::string& localAppData);

} // namespace tess::skinmaker
