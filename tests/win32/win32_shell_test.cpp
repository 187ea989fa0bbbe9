// The shell calls as the skin maker makes them: the program found for a file copied out, and
// empty strings handed to the system as none.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "skinmaker/win32/win32_shell.h"

using namespace tess;
using namespace tess::skinmaker;
using skinmaker::win32::Win32Shell;

TEST(Win32Shell, FindsTheProgramForAFileAndReportsMissingFiles) {
    Win32Shell shell;
    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    const std::string program(self);
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    const std::string name = program.substr(folder.size() + 1);

    // A program is its own opener; given as a name in a folder, the full path comes back.
    std::string found = "stale";
    EXPECT_GT(shell.FindExecutable(name, folder, found), 32);
    EXPECT_EQ(lstrcmpiA(found.c_str(), program.c_str()), 0) << found;

    found = "stale";
    EXPECT_EQ(shell.FindExecutable(folder + "\\no such page.htm", "", found), 2);  // SE_ERR_FNF
    EXPECT_EQ(found, "");

    // No verb, parameters or folder: the system's defaults, and the file's absence reported.
    EXPECT_EQ(shell.ShellExecute(0, "", folder + "\\no such skin.bmp", "", "", kShowNormal), 2);
    EXPECT_EQ(shell.ShellExecute(0, "Open", "no such skin.bmp", "", folder + "\\", kShowNormal), 2);
}
