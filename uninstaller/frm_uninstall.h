// The uninstaller's window: the product's name, Start (ask, check the folder, remove, report)
// and Close.
#pragma once

#include "ui/controls.h"
#include "uninstaller/product_removal.h"
#include "uninstaller/uninstall_env.h"

namespace tess::uninstaller {

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

private:
    void report(const RemovalReport& removal);

    UninstallEnv& env_;
};

} // namespace tess::uninstaller
