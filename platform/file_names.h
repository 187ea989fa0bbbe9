// What the file systems share beyond their interface: the order of listed names, the
// temporary file a replacing write goes through, and the errors both report.
#pragma once

#include <string>
#include <vector>

#include "core/result.h"

namespace tess::platform {

// Sorts file names without regard to case, as the system's file lists show them.
void SortNamesWithoutCase(std::vector<std::string>& names);

// The temporary file beside `path` that a replacing write fills before moving it into place.
inline std::string PartialFileName(const std::string& path) { return path + ".partial"; }

// A path with a NUL inside would be cut short by the system and name another file.
inline bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

inline Error NotFound(const std::string& path) {
    return Error{ErrorCode::FileNotFound, "File not found: " + path};
}

inline Error CannotOpen(const std::string& path, const std::string& why) {
    return Error{ErrorCode::CannotOpen, "Cannot open " + path + ": " + why};
}

inline Error WriteError(const std::string& path, const std::string& what) {
    return Error{ErrorCode::WriteFailed, "Cannot write " + path + ": " + what};
}

} // namespace tess::platform
