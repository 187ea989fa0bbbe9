// The tree role: whole folders listed and removed entry by entry, which only the removal of the
// product needs, on top of the file role it looks with.
#pragma once

#include <string>
#include <vector>

#include "core/result.h"
#include "platform/files.h"

namespace tess::platform {

class FileTrees : public Files {
public:
    // Everything below `folder`, files, folders and links, as full paths; a link is listed but
    // never entered. Empty when it cannot be read. A name that the code page cannot spell
    // exactly is shown with '?' for what it lacks, which names no file, so that nothing is ever
    // done by a look-alike of the name.
    virtual std::vector<std::string> ListTree(const std::string& folder) = 0;
    // Removes a link as a link: what it points to is not touched. A path that is not a link stays
    // and is InvalidArgument.
    virtual Status RemoveLink(const std::string& path) = 0;
    // Removes `folder` with everything below it, entry by entry, each by the exact name the
    // system lists it under: links go as links, never entered or followed; folders are emptied
    // and then removed; files go read-only or not. A folder is held while it is emptied, so that
    // it cannot be swapped for a link meanwhile, and `folder` itself, if it is a link, goes as
    // one. Returns what is still there, as the user reads it: each file or link that could not
    // be deleted, each folder that could not be listed (with everything in it), and each folder
    // that stayed though nothing stayed inside it. Nothing there is nothing to remove. With
    // `only`, just the entries of `folder` with those names go (compared without regard to case),
    // and then the folder if that left it empty; the rest is not named.
    virtual std::vector<std::string> RemoveTree(const std::string& folder,
                                                const std::vector<std::string>& only = {}) = 0;
};

} // namespace tess::platform
