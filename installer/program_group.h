// The product's group in the Start menu: a folder in all users' (or the user's) Programs or Start
// menu folder with a shortcut to each installed program.
#pragma once

#include <string>
#include <vector>

#include "install_services.h"
#include "platform/files.h"
#include "platform/system_info.h"

namespace tess::installer {

struct GroupShortcut {
    std::string program;  // file name in the application folder
    std::string caption;  // the shortcut's name and description
};

// What became of the group.
struct GroupReport {
    std::string folder;          // the group folder; empty when none was chosen
    bool folderReady = false;    // the group folder exists (made now or before)
    bool noShellFolder = false;  // the shell folder could not be determined
    std::vector<std::string> failedShortcuts;  // captions of shortcuts not written
};

// The shell folder the group goes into: the per-user folder when `perUser` (and always on the
// Windows 95 family, which has no common folders), the Start menu itself when `startMenu`.
int GroupShellFolder(const platform::SystemInfo& system, bool perUser, bool startMenu);

// Creates the folder `folderName` (double quotes turned into apostrophes) in the chosen shell
// folder and writes each shortcut, to appDir & "\" & program, into it; with an empty name there
// is no group folder and the shortcuts go into the shell folder itself. When the shell folder
// cannot be determined, nothing is created in its place.
GroupReport CreateProgramGroup(const platform::SystemInfo& system, platform::Files& files,
                               ShellLinks& links, const std::string& appDir,
                               std::string folderName, bool perUser, bool startMenu,
                               const std::vector<GroupShortcut>& shortcuts);

} // namespace tess::installer
