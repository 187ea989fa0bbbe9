// The directory chooser: a drive list and a folder list whose folder, followed by "\Tessary",
// is the application folder; OK makes the folder the installation's base folder.
#pragma once

#include <string>

#include "installer/setup_env.h"
#include "ui/controls.h"
#include "ui/file_system_folders.h"

namespace tess::installer {

class FrmMain;

class FrmPath {
public:
    FrmPath(SetupEnv& env, FrmMain& main);

    // What the folder and drive lists read, made before them.
    ui::FileSystemFolders folders;
    ui::Form form;
    ui::Label lblPrompt, lblPath;
    ui::TextBox txtPath;
    ui::Label lblDirs;
    ui::DirListBox dirDirs;
    ui::Label lblDrives;
    ui::DriveListBox drvDrives;
    ui::CommandButton cmdOK, cmdCancel;

    std::string StartDir;
    std::string CurrentDir;

    void Form_Load();
    void dirDirs_Change();
    void drvDrives_Change();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    SetupEnv& env_;
    FrmMain& main_;
};

} // namespace tess::installer
