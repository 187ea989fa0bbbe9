// The errors every file system reports alike, in one wording, so that a message reads the same
// from the system's file system, the host's and the tests' in-memory one.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::platform {

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
