// What a program under test leaves behind: string values in the user's registry hive and files.
// Writing and deleting registry values lets a test prepare the state a program starts in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"

namespace tess::e2e {

// A REG_SZ value (the default value for an empty name). FileNotFound when the key or value is
// missing, InvalidArgument when the value is not a string.
Result<std::string> ReadRegistryString(HKEY root, const std::string& key, const std::string& name);
// A REG_DWORD value; the same errors, InvalidArgument for a value of another type.
Result<uint32_t> ReadRegistryDword(HKEY root, const std::string& key, const std::string& name);
// Creates the key if needed.
Status WriteRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
// A missing value or key counts as deleted.
Status DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name);

Result<std::vector<uint8_t>> ReadFileBytes(const std::string& path);
// Whether `path` names a file (not a folder).
bool FileExists(const std::string& path);
// The text of the file at `path` once it holds `lines` whole lines: a file another program
// writes exists a moment before its lines are in it.
Result<std::string> WaitForLines(const std::string& path, size_t lines, const std::string& what);
// A path written with '/' (as the build gives host paths, "Z:/…") with backslashes instead:
// the system's dialogs take only those.
std::string WindowsPath(std::string path);

} // namespace tess::e2e
