// The system's list of installed programs as Wine's uninstaller prints it ("key|||name" a line),
// for tests that check what an installation registered and an uninstallation removed.
#pragma once

#include <string>

#include "core/result.h"

namespace tess::e2e {

// Runs "uninstaller.exe --list" and gives what it printed.
Result<std::string> InstalledProgramsList();

// Whether the list has the line "key|||name".
bool ListsProgram(const std::string& list, const std::string& key, const std::string& name);

} // namespace tess::e2e
