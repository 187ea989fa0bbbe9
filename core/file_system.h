// The few file operations the programs need, on paths written the Windows way: the programs form
// names by appending "\Skin.bmp" and the like to their folder, and the host build maps those.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "result.h"

namespace tess {

// The path as the file system takes it: on Windows unchanged (ANSI), elsewhere with every
// backslash turned into '/'. The operations below and the bitmap writer map their paths so.
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

} // namespace tess
