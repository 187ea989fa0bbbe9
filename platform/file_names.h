// What the file systems share about names beyond their interface: the order of listed names,
// the temporary file a replacing write goes through, and names the system would cut short.
#pragma once

#include <string>
#include <vector>

namespace tess::platform {

// Sorts file names without regard to case, as the system's file lists show them.
void SortNamesWithoutCase(std::vector<std::string>& names);

// The temporary file beside `path` that a replacing write fills before moving it into place.
inline std::string PartialFileName(const std::string& path) { return path + ".partial"; }

// A path with a NUL inside would be cut short by the system and name another file.
inline bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

} // namespace tess::platform
