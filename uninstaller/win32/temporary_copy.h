// Running the uninstaller from a copy in a new private folder under the temporary folder, while
// the installed uninstaller waits for it; the copy and its folder go when the computer next starts.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/result.h"
#include "ui/win32/win32_handles.h"

namespace tess::uninstaller::win32 {

// The switch that hands the application folder to the copy.
inline constexpr const char* kAppDirSwitch = "/appdir";
// How the names of the copies' private folders start.
inline constexpr const char* kCopyFolderPrefix = "Tessary-";

// The folder named after the switch on a command line (the text after the program's name);
// nothing when the line does not start with the switch.
std::optional<std::string> AppDirArgument(const std::string& arguments);

// A new folder in `parent` that only administrators and the system may open (where the file
// system keeps permissions), inherited by what is made inside. A folder that exists already, which
// anyone may have made, is never taken: the next name from `names` is tried, `tries` in all.
Result<std::string> CreatePrivateFolder(const std::string& parent,
                                        const std::function<std::string()>& names, int tries = 16);

// A private folder's name that cannot be guessed: the prefix and a random number.
std::string RandomFolderName();

struct StartedCopy {
    ui::win32::UniqueKernelHandle process;
    std::string folder;
};

// Copies the running program, under its own name, into a new private folder in the temporary
// folder and starts the copy for `appDir`. An error when the copy could not be made or started;
// the caller then works in place.
Result<StartedCopy> StartTemporaryCopy(const std::string& ownFile, const std::string& appDir);

// Waits until the copy has ended and gives its exit code; `failedCode` when that cannot be told.
int WaitForCopy(const StartedCopy& copy, int failedCode);

// The private folder that the program's file `ownFile` lies in, when it lies in one (directly in
// the temporary folder, named as they are named); empty otherwise.
std::string PrivateFolderOf(const std::string& ownFile);

// Moves `file` into the private folder `folder`, which works for a program that is running from
// it, and arranges for it and then the folder to go at the next start. True when it was moved.
bool SetAside(const std::string& file, const std::string& folder);

// Arranges for a file, or an empty folder, to be removed when the computer next starts.
bool RemoveAtRestart(const std::string& path);

} // namespace tess::uninstaller::win32
