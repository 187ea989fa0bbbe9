// The uninstaller's window: the product's name, Start (ask, check the folder, remove, report)
// and Close.
#pragma once

#include "ui/controls.h"
#include "uninstaller/product_removal.h"
#include "uninstaller/uninstall_env.h"

namespace tess::uninstaller {

// The program's exit code, for whoever started it: the system's list of programs waits for the
// installed uninstaller, which passes its temporary copy's code on.
inline constexpr int kExitRemoved = 0;
// No, Close, or a folder that is not the application folder.
inline constexpr int kExitNothingRemoved = 1;
// Something stayed, and the report named it.
inline constexpr int kExitNotComplete = 2;
// Everything went but the uninstaller's file and the emptied folder, which go when the computer
// next starts: the system's own code for a success that needs a restart.
inline constexpr int kExitRemovedAtRestart = 3010;

class Uninstall {
public:
    explicit Uninstall(UninstallEnv& env);

    ui::Form form;
    ui::ImageBox Image1;
    ui::Label Label1, Label2;
    ui::CommandButton Command1, Command2;

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
    void CloseRunningCopy();
    void Form_DpiChanged(double twipsPerPixel);

private:
    // Tells the user what became of the removal; returns the exit code that says the same.
    int report(const RemovalReport& removal);

    UninstallEnv& env_;
};

} // namespace tess::uninstaller
