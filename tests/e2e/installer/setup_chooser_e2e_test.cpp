// The real setup program's directory chooser, opened from page 2: a folder of another drive
// picked through the lists and accepted, Cancel, a drive root, and a drive that cannot be read.
#include <algorithm>

#include "tests/e2e/installer/setup_session.h"

namespace tess::e2e {
namespace {

class SetupChooser : public SetupSession {
protected:
    void openChooser() {
        clickUntil("Image1(2)", kChoosePage);
        clickArea("Image1(3)");
        auto found = FindTopWindow({kChooserTitle, "", program->processId(), true});
        ASSERT_TRUE(found.ok()) << found.error().message;
        chooser = found.value();
        folders = control("dirDirs", chooser);
        drives = control("drvDrives", chooser);
        ASSERT_TRUE(folders && drives);
    }
    // The application folder the chooser proposes (its path box).
    std::string proposed() {
        auto box = FindControl(chooser, "txtPath");
        auto shown = box ? Text(box.value()) : Result<std::string>(box.error());
        return shown ? shown.value() : "(unreadable)";
    }
    void awaitProposed(const std::string& expected) {
        const Status shown = WaitUntil([&] { return proposed() == expected; }, "the path box to say " + expected);
        ASSERT_TRUE(shown.ok()) << shown.error().message << "; it says " << proposed();
    }
    // Double-clicks the folder list's row of `name`: the root ("C:\") or a subfolder of the open
    // folder, whose rows follow the open one's (the list selects the open folder's row).
    void openRow(const std::string& name) {
        auto rows = ListEntries(folders);
        auto open = SelectedEntry(folders);
        ASSERT_TRUE(rows.ok() && open.ok());
        // Rows read "- C:\", "  - Program Files", "    + Tessary": indent, open mark, name.
        const bool root = name.size() == 3 && name[1] == ':';
        const auto from = rows.value().begin() + (root ? 0 : std::max(open.value() + 1, 0));
        const auto row = std::find_if(from, rows.value().end(), [&](const std::string& r) {
            const size_t mark = r.find_first_not_of(' ');
            return mark != std::string::npos && lstrcmpiA(r.substr(mark + 2).c_str(), name.c_str()) == 0;
        });
        ASSERT_NE(row, rows.value().end()) << "no folder " << name << " in the list";
        ASSERT_TRUE(PickListEntry(folders, static_cast<int>(row - rows.value().begin()), true).ok());
    }
    // Opens `path` one level at a time from its drive's root.
    void openFolder(const std::string& path) {
        const std::string root = path.substr(0, 3);
        openRow(root);
        awaitProposed(root + "Tessary");
        for (size_t start = 3; start < path.size();) {
            const size_t end = std::min(path.find('\\', start), path.size());
            openRow(path.substr(start, end - start));
            awaitProposed(path.substr(0, end) + "\\Tessary");
            start = end + 1;
        }
    }
    // Picks the drive list's entry of `letter` ("z").
    void pickDrive(char letter) {
        auto entries = ListEntries(drives);
        ASSERT_TRUE(entries.ok()) << entries.error().message;
        const auto entry = std::find_if(entries.value().begin(), entries.value().end(),
                                        [&](const std::string& e) { return e.size() >= 2 && e[0] == letter; });
        ASSERT_NE(entry, entries.value().end()) << "no drive " << letter << ": in the list";
        ASSERT_TRUE(PickListEntry(drives, static_cast<int>(entry - entries.value().begin())).ok());
    }
    std::string selectedDrive() {
        auto entries = ListEntries(drives);
        auto selected = SelectedEntry(drives);
        if (!entries || !selected || selected.value() < 0) return "(none)";
        return entries.value()[static_cast<size_t>(selected.value())];
    }
    void closeWith(const char* button) {
        ASSERT_TRUE(ClickCentre(control(button, chooser)).ok());
        ASSERT_TRUE(WaitForWindowGone(chooser).ok());
    }
    // On from page 2 with clicks: the Enter after the chooser's OK would be taken for that OK.
    void installWithClicks() {
        clickUntil("Image1(2)", kReadyPage);
        clickUntil("Image1(2)", kFinishedPage);
    }
    void expectInstalledIn(const std::string& app) {
        auto installed = ReadFileBytes(app + "\\Tessary.exe");
        auto expected = ReadFileBytes(WindowsPath(TESS_E2E_EXTRACTED) + "\\Tessary.exe");
        ASSERT_TRUE(installed.ok()) << installed.error().message;
        ASSERT_TRUE(expected.ok()) << expected.error().message;
        EXPECT_TRUE(installed.value() == expected.value());
        EXPECT_TRUE(FileExists(app + "\\remover.exe"));
        if (!SamePath(app, defaultAppFolder())) {
            EXPECT_FALSE(FileExists(defaultAppFolder() + "\\Tessary.exe"));
        }
    }

    HWND chooser = nullptr, folders = nullptr, drives = nullptr;
};

TEST_F(SetupChooser, OkOnAFolderOfAnotherDriveShowsItAndReceivesTheInstallation) {
    const std::string target = folder + "\\target";
    ASSERT_TRUE(MakeFolders(target + "\\Tessary"));
    EmptyFolder(target + "\\Tessary");
    placeCabinet();
    start();
    openChooser();
    awaitProposed(defaultAppFolder());
    EXPECT_EQ(selectedDrive().substr(0, 2), "c:");

    pickDrive('z');
    ASSERT_TRUE(WaitUntil([&] { return proposed().rfind("Z:\\", 0) == 0; }, "a folder of Z:").ok()) << proposed();
    EXPECT_EQ(selectedDrive().substr(0, 2), "z:");
    openFolder(target);
    closeWith("cmdOK");

    // Page 2 shows the folder's last 24 characters when the whole is too long.
    const std::string shown = text("Label3");
    const std::string tail = target.substr(target.size() - 24) + "\\Tessary";
    EXPECT_TRUE(shown == target + "\\Tessary" || shown == "..." + tail) << shown;
    installWithClicks();
    expectInstalledIn(target + "\\Tessary");
    auto location = ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation");
    EXPECT_EQ(location ? location.value() : "", target + "\\Tessary");
}

TEST_F(SetupChooser, CancelKeepsTheFolderTheWizardHad) {
    placeCabinet();
    start();
    openChooser();
    openFolder("C:\\windows");
    closeWith("cmdCancel");
    EXPECT_EQ(text("Label3"), defaultAppFolder());

    // Opened again, the chooser starts from the kept folder.
    clickArea("Image1(3)");
    auto again = FindTopWindow({kChooserTitle, "", program->processId(), true});
    ASSERT_TRUE(again.ok()) << again.error().message;
    chooser = again.value();
    awaitProposed(defaultAppFolder());
    closeWith("cmdCancel");
    installWithClicks();
    expectInstalledIn(defaultAppFolder());
}

// A root gives its folder with a separator already at its end: the application folder then has
// a doubled one, which the file system takes as one and the registry keeps as it is.
TEST_F(SetupChooser, ADriveRootGivesTheApplicationFolderBelowIt) {
    placeCabinet();
    start();
    openChooser();
    openFolder("C:\\");
    closeWith("cmdOK");
    EXPECT_EQ(text("Label3"), "C:\\\\Tessary");
    installWithClicks();
    auto installed = ReadFileBytes("C:\\Tessary\\Tessary.exe");
    ASSERT_TRUE(installed.ok()) << installed.error().message;
    EXPECT_TRUE(FileExists("C:\\Tessary\\remover.exe"));
    auto path = ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPathKey, "Path");
    EXPECT_EQ(path ? path.value() : "", "C:\\\\Tessary\\Tessary.exe");
    auto uninstall = ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    EXPECT_EQ(uninstall ? uninstall.value() : "", "\"C:\\\\Tessary\\remover.exe\"");
}

// Runs with a drive Q: whose target is missing (run-with-drive.sh makes it).
TEST_F(SetupChooser, ADriveWhoseTargetIsMissingIsRefusedAndTheChooserStaysUsable) {
    placeCabinet();
    start();
    openChooser();
    awaitProposed(defaultAppFolder());
    pickDrive('q');
    EXPECT_EQ(answer(kSetupCaption, IDOK), "Drive is not accessable");
    // Back on the drive of the folder it had, which it still proposes.
    ASSERT_TRUE(WaitUntil([&] { return selectedDrive().substr(0, 2) == "c:"; }, "drive c: selected again").ok())
        << selectedDrive();
    EXPECT_EQ(proposed(), defaultAppFolder());

    openFolder("C:\\users");
    closeWith("cmdOK");
    EXPECT_EQ(text("Label3"), "C:\\users\\Tessary");
    installWithClicks();
    expectInstalledIn("C:\\users\\Tessary");
}

} // namespace
} // namespace tess::e2e
