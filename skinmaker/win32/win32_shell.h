// The shell interface over shell32's FindExecutableA and ShellExecuteA, for the skin maker and
// for tests that check the shell's answers under the real system.
#pragma once

#include "skinmaker/shell_api.h"

namespace tess::skinmaker::win32 {

class Win32Shell : public ShellApi {
public:
    int FindExecutable(const std::string& file, const std::string& directory,
                       std::string& program) override;
    int ShellExecute(uintptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory,
                     int show) override;
};

} // namespace tess::skinmaker::win32
