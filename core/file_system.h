// The few file operations the programs need, on paths written the Windows way: the programs form
// names by appending "\Skin.bmp" and the like to their folder, and the host build maps those.
#pragma once

#include <cstdint>
#include <string>

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

} // namespace tess
