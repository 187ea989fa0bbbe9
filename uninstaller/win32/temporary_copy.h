// Running the uninstaller from a copy in a new private folder, held open while the installed
// uninstaller waits for it; what stays of the copy after a removal goes at the next start.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/result.h"
#include "platform/win32/folder_security.h"
#include "platform/win32/handles.h"

namespace tess::uninstaller::win32 {

// The switch that hands the application folder to the copy.
inline constexpr const char* kAppDirSwitch = "/appdir";
// How the names of the copies' private folders start.
inline constexpr const char* kCopyFolderPrefix = "Tessary-";

// The folder named after the switch on a command line (the text after the program's name);
// nothing when the line does not start with the switch.
std::optional<std::string> AppDirArgument(const std::string& arguments);

// A private folder just made, and the handle that holds it: while it is open, the folder can be
// neither renamed nor deleted, so its name keeps leading to it.
struct PrivateFolder {
    std::string path;
    platform::win32::UniqueKernelHandle held;
};

// The descriptor a private folder is made with: owned by the administrators, full access for them
// and the system only, protected from the parent's entries, and passed on to all made inside.
Result<platform::win32::UniqueSecurityDescriptor> PrivateFolderDescriptor();

// A new folder in `parent` that only administrators and the system may open (where the file
// system keeps permissions), inherited by what is made inside, made and held open in one call. A
// folder that exists already, which anyone may have made, is never taken: the next name from
// `names` is tried, `tries` in all.
Result<PrivateFolder> CreatePrivateFolder(const std::string& parent,
                                          const std::function<std::string()>& names, int tries = 16);

// Whether the volume that `folder` lies on keeps the permissions of its files (not FAT or exFAT).
bool KeepsPermissions(const std::string& folder);

// The system's own temporary folder, below the Windows folder that all users share.
std::string SystemTempFolder();

// Where the copy's private folder is made: the user's temporary folder `temp` when its volume
// keeps permissions, otherwise the system's `systemTemp` when that one's does; empty when neither
// does, as nothing could keep the copy private there.
std::string PrivateFolderParent(const std::string& temp, const std::string& systemTemp,
                                const std::function<bool(const std::string&)>& keepsPermissions);

// A private folder's name that cannot be guessed: the prefix and a random number.
std::string RandomFolderName();

struct StartedCopy {
    platform::win32::UniqueKernelHandle process;
    // Held until the copy has ended.
    PrivateFolder folder;
    std::string file;
};

// Copies the running program, under its own name, into a new private folder in the temporary
// folder and starts the copy for `appDir`. An error when the copy could not be made or started;
// the caller then works in place.
Result<StartedCopy> StartTemporaryCopy(const std::string& ownFile, const std::string& appDir);

// Waits until the copy has ended and gives its exit code; `failedCode` when that cannot be told.
int WaitForCopy(const StartedCopy& copy, int failedCode);

// Once the copy has ended: its file goes, and its folder when nothing else is left in it (the
// installed uninstaller's file set aside there stays for the next start).
void RemoveCopy(StartedCopy& copy);

// The private folder that the program's file `ownFile` lies in, when it lies in one (directly in
// the user's or the system's temporary folder, named as they are named); empty otherwise.
std::string PrivateFolderOf(const std::string& ownFile);

// Moves `file` into the private folder `folder`, which works for a program that is running from
// it, and arranges for it and then the folder to go at the next start. True when it was moved.
bool SetAside(const std::string& file, const std::string& folder);

// Arranges for a file, or an empty folder, to be removed when the computer next starts.
bool RemoveAtRestart(const std::string& path);

} // namespace tess::uninstaller::win32
