// The collection window: lists the kept skins, previews the selected one, applies it as the
// toolbar background, opens it for editing and deletes it; the main window waits hidden.
#pragma once

#include <string>

#include "skinmaker/skin_maker_env.h"
#include "ui/controls.h"
#include "ui/file_system_folders.h"

namespace tess::skinmaker {

class IeMain;

class FrmCollection {
public:
    FrmCollection(SkinMakerEnv& env, IeMain& main);

    // What the file list reads, made before it.
    ui::FileSystemFolders folders;
    ui::Form form;
    ui::Frame Frame1;
    ui::FileListBox File1;
    ui::CommandButton Command2, Command1, Command4, Command3;
    ui::ImageBox Image1;

    void Form_Load();
    void Form_Unload();
    void File1_Click();
    void File1_DblClick();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    // Opens a document with the program the system associates with it; the shell's code.
    int OpenDocument(const std::string& DocName);

    // The full path of the selected entry; empty when nothing is selected.
    std::string SelectedPath() const;

private:
    void LaunchDocument(const std::string& path);
    void showFirstOrNothing();

    SkinMakerEnv& env_;
    IeMain& main_;
};

} // namespace tess::skinmaker
