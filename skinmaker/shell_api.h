// The shell calls the skin maker hands web addresses and documents to: which program opens a
// file, and opening a file or address with a verb. Results are the Win32 codes (32 or less fails).
#pragma once

#include <cstdint>
#include <string>

namespace tess::skinmaker {

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

class ShellApi {
public:
    virtual ~ShellApi() = default;
    // FindExecutableA: the program associated with `file`, written to `program`.
    virtual int FindExecutable(const std::string& file, const std::string& directory,
                               std::string& program) = 0;
    // ShellExecuteA; an empty string is passed to the system as no string.
    virtual int ShellExecute(uintptr_t owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& directory,
                             int show) = 0;
};

} // namespace tess::skinmaker
