// The collection window's controls and handlers: listing, previewing, applying, editing and
// deleting the kept skins, and handing the main window back its place when it closes.
#include "skinmaker/frm_collection.h"

#include "core/collection_naming.h"
#include "core/error_rules.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "skinmaker/ie_main.h"
#include "skinmaker/m_pic.h"
#include "skinmaker/web_links.h"

namespace tess::skinmaker {

namespace {

constexpr const char* kUpdated = "IE Skin is successfully updated";
constexpr const char* kNotUpdated =
    "IE Skin could not be applied: the toolbar setting could not be written.";
constexpr const char* kDeleteCurrent =
    "This file is currently enabled as default skin for IE. Do you want to delete it?";
constexpr const char* kNotDeleted = "The skin could not be deleted.";

} // namespace

FrmCollection::FrmCollection(SkinMakerEnv& env, IeMain& main)
    : folders(env.files, env.files),
      form("frmCollection", {0, 0, 4230, 4155}, "Skin Collection", ui::Form::Border::FixedDialog),
      Frame1(&form, "Frame1", {90, 60, 4000, 3225}, ""),
      File1(&Frame1, "File1", {90, 210, 3795, 2430}, folders),
      Command2(&Frame1, "Command2", {90, 2760, 915, 375}, "&Edit"),
      Command1(&Frame1, "Command1", {1050, 2760, 915, 375}, "&Delete"),
      Command4(&Frame1, "Command4", {2010, 2760, 915, 375}, "&Apply"),
      Command3(&Frame1, "Command3", {2970, 2760, 915, 375}, "&Close"),
      Image1(&form, "Image1", {90, 3390, 4005, 660}, true),
      env_(env), main_(main) {
    form.setCentred(true);
    form.setIcon(kProgramIconResource);
    Command1.setEnabled(false);
    Command4.setEnabled(false);
    Command3.setCancel(true);
    Image1.setBorder(true);
    int tab = 0;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Command4, &Command3, &Command1, &File1, &Command2})
        c->setTabIndex(tab++);

    form.onUnload = [this] {
        env_.host.unload(form);
        Form_Unload();
    };
    File1.onClick = [this] { File1_Click(); };
    File1.onDblClick = [this] { File1_DblClick(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
}

std::string FrmCollection::SelectedPath() const {
    if (File1.listIndex() < 0) return {};
    return CollectionFolder(env_.dataFolder) + "\\" + File1.entries()[File1.listIndex()];
}

void FrmCollection::Form_Load() {
    HandlerErrors<OnError::Resume> on;
    File1.setPattern("*.bmp");
    on.step(File1.setPath(CollectionFolder(env_.dataFolder)));
    if (File1.listCount() > 0) {
        File1.setListIndex(0);
        Command1.setEnabled(true);
        Command4.setEnabled(true);
    }
}

void FrmCollection::Form_Unload() { env_.host.showOrReport(main_.form, false); }

void FrmCollection::File1_Click() {
    if (File1.listCount() == 0) return;
    if (auto picture = platform::LoadPicture(env_.files, SelectedPath()))
        Image1.setPicture(std::make_shared<Picture>(std::move(picture).value()),
                          env_.host.twipsPerPixelX());
}

void FrmCollection::File1_DblClick() { Command4_Click(); }

void FrmCollection::Command4_Click() {
    if (File1.listCount() == 0) return;
    const std::string path = SelectedPath();
    // A value that could not be written leaves the browser's skin as it was: say so, and keep
    // what the program knows of the current skin true.
    if (!SetRegString(env_.registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, path)) {
        env_.host.messageBox(kNotUpdated, ui::kMbIconExclamation);
        return;
    }
    env_.CurrentSkin = path;
    main_.skinAppliedFromCollection();
    env_.host.messageBox(kUpdated, ui::kMbOk);
}

void FrmCollection::Command1_Click() {
    HandlerErrors<OnError::Resume> on;
    if (File1.listCount() == 0) return;
    const std::string path = SelectedPath();
    if (path == env_.CurrentSkin) {
        if (env_.host.messageBox(kDeleteCurrent, ui::kMbYesNo | ui::kMbIconQuestion) != ui::kIdYes)
            return;
        main_.Command5_Click();
    }
    // A file that went behind the window's back is what the user asked for; only one that is
    // still there is a failure.
    if (const Status removed = env_.files.RemoveFile(path); !removed && removed.error().code != ErrorCode::FileNotFound)
        env_.host.messageBox(kNotDeleted, ui::kMbIconExclamation);
    // The list shows what is on disk, deleted or not.
    on.step(File1.refresh());
    showFirstOrNothing();
}

void FrmCollection::showFirstOrNothing() {
    if (File1.listCount() == 0) {
        Command1.setEnabled(false);
        Command4.setEnabled(false);
        Image1.setPicture(nullptr, env_.host.twipsPerPixelX());
    } else {
        File1.setListIndex(0);
    }
}

void FrmCollection::Command2_Click() {
    // With nothing listed there is nothing to edit.
    if (File1.listIndex() < 0) return;
    LaunchDocument(SelectedPath());
}

void FrmCollection::Command3_Click() { form.requestClose(); }

int FrmCollection::OpenDocument(const std::string& DocName) {
    return env_.shell.ShellExecute(env_.host.windowHandle(form), "Open", DocName, "",
                                   CollectionFolder(env_.dataFolder) + "\\", kShowNormal);
}

void FrmCollection::LaunchDocument(const std::string& path) {
    form.setCaption(path);
    const int result = OpenDocument(path);
    if (result <= 32) env_.host.messageBox(ShellErrorText(result), ui::kMbOk);
}

} // namespace tess::skinmaker
