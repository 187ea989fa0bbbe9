// Running the uninstaller from a copy in the temporary folder, so that the installed file is
// not in use and can be removed with the rest; the copy goes when the computer next starts.
#pragma once

#include <optional>
#include <string>

namespace tess::uninstaller::win32 {

// The switch that hands the application folder to the copy.
inline constexpr const char* kAppDirSwitch = "/appdir";

// The folder named after the switch on a command line (the text after the program's name);
// nothing when the line does not start with the switch.
std::optional<std::string> AppDirArgument(const std::string& arguments);

// Copies the running program into the temporary folder and starts the copy for `appDir`.
// False when the copy could not be made or started; the caller then works in place.
bool StartTemporaryCopy(const std::string& ownFile, const std::string& appDir);

// Arranges for a file, or an empty folder, to be removed when the computer next starts.
bool RemoveAtRestart(const std::string& path);

} // namespace tess::uninstaller::win32
