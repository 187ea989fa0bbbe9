// The file operations the uninstaller runs on, as an interface: wildcard and named deletion,
// removing an empty folder or a link, the shell's silent folder deletion, and looking at what is
// left.
#pragma once

#include <string>
#include <vector>

#include "core/result.h"

namespace tess::uninstaller {

class RemovalFileSystem {
public:
    virtual ~RemovalFileSystem() = default;
    // Deletes every file (not folder) of `folder` whose name matches `pattern` ('*' and '?',
    // without regard to case). An error when nothing matched or a match could not be deleted;
    // the other matches are deleted all the same.
    virtual Status DeleteMatching(const std::string& folder, const std::string& pattern) = 0;
    // Deletes one file.
    virtual Status RemoveFile(const std::string& path) = 0;
    // Removes a folder that is empty; one that is not stays and is an error.
    virtual Status RemoveFolder(const std::string& path) = 0;
    // The shell's deletion, silent and without asking: a file, or a folder with everything in
    // it except what cannot be deleted (a file in use keeps itself and the folders above it).
    // `filesOnly` is the shell's flag of that name, which affects wildcard names only.
    virtual Status ShellDelete(const std::string& path, bool filesOnly) = 0;
    // Whether `path` itself is a link (a junction or a symbolic link, to a file or a folder).
    virtual bool IsLink(const std::string& path) = 0;
    // Removes a link as a link: what it points to is not touched. A path that is not a link
    // stays and is an error.
    virtual Status RemoveLink(const std::string& path) = 0;
    // A link counts as what it stands for: a folder link as a folder, a file link as a file.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // Everything below `folder`, files, folders and links, as full paths; a link is listed but
    // never entered. Empty when it cannot be read.
    virtual std::vector<std::string> ListTree(const std::string& folder) = 0;
};

} // namespace tess::uninstaller
