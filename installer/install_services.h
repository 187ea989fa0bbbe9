// The services the installation runs on besides the file system, as interfaces: the cabinet held
// open while its entries are taken out, the SHA-256 of a file's bytes, and shortcut files. The
// Windows build gives the real ones.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/result.h"

namespace tess::installer {

using Sha256Digest = std::array<uint8_t, 32>;

// The SHA-256 of each program the build packed into the cabinet, by the program's file name.
using PackedDigests = std::map<std::string, Sha256Digest>;

// A cabinet held open for reading, with no leave for anyone to write, rename or delete it, from
// its opening until this object goes: every entry comes from the one file opened, whatever
// happens to its name meanwhile.
class OpenedCabinet {
public:
    virtual ~OpenedCabinet() = default;
    // The cabinet's length in bytes.
    virtual uint64_t Length() const = 0;
    // Writes the entry named `entry` to `destinationPath`, replacing a file there; nothing else
    // is written.
    virtual Status Extract(const std::string& entry, const std::string& destinationPath) = 0;
};

class CabinetExtractor {
public:
    virtual ~CabinetExtractor() = default;
    // Opens the cabinet at `cabinetPath`; FileNotFound when nothing is there, CannotOpen when it
    // cannot be had for reading alone (another program writing it, or a folder).
    virtual Result<std::unique_ptr<OpenedCabinet>> Open(const std::string& cabinetPath) = 0;
};

class Sha256Hasher {
public:
    virtual ~Sha256Hasher() = default;
    virtual Result<Sha256Digest> Sha256(const std::vector<uint8_t>& bytes) = 0;
};

class ShellLinks {
public:
    virtual ~ShellLinks() = default;
    // Writes the shortcut file `linkPath` (ending in ".lnk") to `target` with `arguments`,
    // described by `description`.
    virtual Status CreateLink(const std::string& linkPath, const std::string& target,
                              const std::string& arguments, const std::string& description) = 0;
};

} // namespace tess::installer
