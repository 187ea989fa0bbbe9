// The one file layer of the three programs, on paths written the Windows way: narrow paths in the
// system's ANSI code page, as the Win32 A functions take them; the host build maps them to its own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"

namespace tess {

// The path as the file system takes it: on Windows unchanged (ANSI), elsewhere with every
// backslash turned into '/'.
std::string NativePath(const std::string& path);

// The length in bytes of a file; a folder or a missing path is an error.
Result<uint64_t> FileLength(const std::string& path);

// Creates one folder (not the folders above it). A folder that exists already is reported as
// ErrorCode::AlreadyExists, which callers that only need the folder to be there ignore.
Status CreateFolder(const std::string& path);

// Deletes a file; never a folder.
Status RemoveFile(const std::string& path);

// Whether a file name matches a pattern of '*' (any run of characters) and '?' (any one
// character), without regard to case, as the system's file lists match.
bool MatchesPattern(const std::string& name, const std::string& pattern);

// The names of the files (not folders) in a folder that match the pattern, sorted by name
// without regard to case. A folder that cannot be read is an error.
Result<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern);

// The whole contents of a regular file of at most `maxBytes` bytes. FileNotFound when the path
// names nothing, CannotOpen for a folder, a device or pipe, or a read error, FileTooLarge when
// the file is longer than `maxBytes`, which is known before anything is read.
Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t maxBytes);

// Writes `bytes` to `path`, replacing an existing file only once the new one is complete: they
// go to a temporary file beside it first, which is then moved over it. A failed write leaves
// the old file as it was and no temporary file behind. Every failure is returned.
Status WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace tess
