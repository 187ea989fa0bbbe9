// The directory chooser's controls and handlers: following the drive and folder lists, the
// message for a drive that cannot be read, and handing the folder back to the wizard.
#include "installer/frm_path.h"

#include "core/ascii_case.h"
#include "core/error_rules.h"
#include "core/product.h"
#include "installer/frm_main.h"

namespace tess::installer {

namespace {

bool SameDrive(const std::string& a, const std::string& b) {
    if (a.size() < 2 || b.size() < 2) return a.size() == b.size() && a == b;
    return AsciiLower(a[0]) == AsciiLower(b[0]) && a[1] == b[1];
}

} // namespace

FrmPath::FrmPath(SetupEnv& env, FrmMain& main)
    : folders(env.files, env.files),
      form("frmPath", {0, 0, 3930, 4605}, "Change Directory", ui::Form::Border::FixedDialog),
      lblPrompt(&form, "lblPrompt", {210, 120, 3525, 195}, "Select installation directory"),
      lblPath(&form, "lblPath", {210, 420, 330, 195}, "Path"),
      txtPath(&form, "txtPath", {204, 690, 3525, 288}),
      lblDirs(&form, "lblDirs", {210, 1050, 750, 195}, "Directories"),
      dirDirs(&form, "dirDirs", {210, 1320, 3510, 1890}, folders),
      lblDrives(&form, "lblDrives", {210, 3330, 450, 195}, "Drives"),
      drvDrives(&form, "drvDrives", {216, 3600, 3510, 315}, folders),
      cmdOK(&form, "cmdOK", {1320, 4080, 1170, 360}, "OK"),
      cmdCancel(&form, "cmdCancel", {2580, 4080, 1170, 360}, "Cancel"),
      env_(env), main_(main) {
    form.setCentred(true);
    form.setIcon("ORVINST");
    lblPrompt.setWordWrap(true);
    for (ui::Label* l : {&lblPrompt, &lblPath, &lblDirs, &lblDrives}) l->setAutoSize(true);
    cmdOK.setDefault(true);
    cmdCancel.setCancel(true);
    int tab = 0;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&lblPath, &txtPath, &lblDirs, &dirDirs, &lblDrives,
                                                             &drvDrives, &cmdOK, &cmdCancel, &lblPrompt})
        c->setTabIndex(tab++);

    dirDirs.onChange = [this] { dirDirs_Change(); };
    drvDrives.onChange = [this] { drvDrives_Change(); };
    cmdOK.onClick = [this] { cmdOK_Click(); };
    cmdCancel.onClick = [this] { cmdCancel_Click(); };
    form.onUnload = [this] { env_.host.unload(form); };
}

void FrmPath::Form_Load() {
    HandlerErrors<OnError::Resume> on;
    on.step(drvDrives.setDrive(main_.InstallDir.substr(0, 2)));
    on.step(dirDirs.setPath(main_.InstallDir));
    CurrentDir = main_.InstallDir;
    StartDir = main_.InstallDir;
    form.setTopMost(true);
}

void FrmPath::dirDirs_Change() {
    const std::string& d = dirDirs.path();
    txtPath.setText((d.size() < 4 ? d : d + "\\") + product::kAppFolderName);
    CurrentDir = d;
}

void FrmPath::drvDrives_Change() {
    HandlerErrors<OnError::Resume> on;
    const std::string drive = drvDrives.drive().substr(0, 2);
    Status opened = dirDirs.setPath(drive);
    if (opened) opened = dirDirs.setPath(SameDrive(StartDir, drive) ? StartDir : CurrentDir);
    if (opened) return;
    env_.host.messageBox("Drive is not accessable", ui::kMbOk, kSetupTitle);
    on.step(drvDrives.setDrive(CurrentDir.empty() ? std::string("C:") : CurrentDir.substr(0, 2)));
    on.step(dirDirs.setPath(CurrentDir));
}

void FrmPath::cmdOK_Click() {
    main_.IgnoreNextEnter = true;
    main_.InstallDir = dirDirs.path();
    main_.UpdateInfo();
    env_.host.unload(form);
}

void FrmPath::cmdCancel_Click() {
    main_.IgnoreNextEscape = true;
    env_.host.unload(form);
}

} // namespace tess::installer
