// What the two sides of the file layer share beyond its interface: the order of listed names and
// the name of the temporary file a replacing write goes through.
#pragma once

#include <string>
#include <vector>

namespace tess {

// Sorts file names without regard to case, as the system's file lists show them.
void SortNamesWithoutCase(std::vector<std::string>& names);

// The temporary file beside `path` that a replacing write fills before moving it into place.
inline std::string PartialFileName(const std::string& path) { return path + ".partial"; }

} // namespace tess
