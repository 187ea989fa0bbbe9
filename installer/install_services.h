// The services the installation runs on, as interfaces: files, the shell's delete and a replacing
// move, taking an entry out of a cabinet, and shortcut files. The Windows build gives the real ones.
#pragma once

#include <cstdint>
#include <string>

#include "core/result.h"

namespace tess::installer {

class InstallFileSystem {
public:
    virtual ~InstallFileSystem() = default;
    // The length of a file; a missing path or a folder is an error.
    virtual Result<uint64_t> FileLength(const std::string& path) = 0;
    // Creates one folder; one that exists already is ErrorCode::AlreadyExists.
    virtual Status CreateFolder(const std::string& path) = 0;
    // Deletes a file through the shell, silently and without the recycle bin; failures are
    // not reported.
    virtual void ShellDeleteFile(const std::string& path) = 0;
    // Deletes a file directly.
    virtual Status RemoveFile(const std::string& path) = 0;
    // Moves the file `from` to `to` in one step, replacing a file there and returning only once
    // the move is on disk. Both lie on one volume: nothing is copied, so a failure leaves both
    // files as they were.
    virtual Status MoveReplacing(const std::string& from, const std::string& to) = 0;
};

class CabinetExtractor {
public:
    virtual ~CabinetExtractor() = default;
    // Writes the entry named `entry` of the cabinet at `cabinetPath` to `destinationPath`,
    // replacing a file there; nothing else is written.
    virtual Status Extract(const std::string& cabinetPath, const std::string& entry,
                           const std::string& destinationPath) = 0;
};

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    // Writes the shortcut file `linkPath` (ending in ".lnk") to `target` with `arguments`,
    // described by `description`.
    virtual Status CreateLink(const std::string& linkPath, const std::string& target,
                              const std::string& arguments, const std::string& description) = 0;
};

// True when the file can be measured and is not empty.
bool FileIsPresent(InstallFileSystem& files, const std::string& path);

} // namespace tess::installer
