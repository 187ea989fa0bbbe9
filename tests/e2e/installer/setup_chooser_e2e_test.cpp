// The real setup program's directory chooser, opened from page 2: a folder of another drive
// picked through the lists and accepted, Cancel, a drive root, a drive that cannot be read, and a
// folder named in Chinese, beyond the driver's code page, installed into and uninstalled from.
#include <windows.h>

#include <algorithm>

#include "tests/e2e/driver/code_page.h"
#include "tests/e2e/driver/test_results.h"
#include "tests/e2e/installer/setup_session.h"

namespace tess::e2e {
namespace {

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Or(const Result<std::string>& read, const std::string& otherwise) {
    return read ? read.value() : otherwise;
}

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
            return mark != std::string::npos && lstrcmpiW(Wide(r.substr(mark + 2)).c_str(), Wide(name).c_str()) == 0;
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

// The driver runs under the code page TESS_E2E_CODE_PAGE asks for, the setup program itself
// started from below a folder named beyond it. A folder named in Chinese ("C:\程序"), which no
// such code page spells but the programs' UTF-8 does, is chosen in the chooser's list, the Start
// menu's shortcut starts the skin maker from it, and the registered uninstaller, run as the
// system's list of programs runs it, removes the installation and leaves the chosen folder.
TEST_F(SetupChooser, AFolderNamedBeyondAsciiIsInstalledIntoAndUninstalledFrom) {
    const auto name = CodePageFolderName();
    ASSERT_FALSE(name.value().empty()) << "this case runs under the code page named in " << kCodePageVariable;
    const std::string base = "C:\\" + Utf8(L"\u7A0B\u5E8F");
    const std::string app = base + "\\Tessary";
    ASSERT_TRUE(MakeFolders(base));
    placeCabinet();
    start();
    openChooser();
    openFolder(base);
    closeWith("cmdOK");
    EXPECT_EQ(text("Label3"), app);
    installWithClicks();
    expectInstalledIn(app);
    EXPECT_EQ(Or(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"), ""), app);
    EXPECT_EQ(Or(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), ""),
              "\"" + app + "\\remover.exe\"");
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer("Tessary installation", IDNO), "Do you want to run Tessary");
    ASSERT_OK(program->waitForExit());

    // The shortcut's target went through the conversion to UTF-16 that the shell's link takes,
    // and the shell runs the item its ID list names, which holds the names in UTF-16. (Wine keeps
    // the target's path beside it only in the writer's code page, UTF-8 here, and reads it in the
    // reader's, so this driver could not start the link by that path; Windows keeps it in UTF-16
    // too.)
    const std::string shortcut = ProgramsFolder() + "\\Tessary\\Tessary.lnk";
    EXPECT_EQ(ShortcutItemPath(shortcut), app + "\\Tessary.exe");
    ASSERT_TRUE(OpenShortcutItem(shortcut));
    const HWND skinMakerWindow = MUST(FindTopWindow({kSkinMakerCaption, "", 0, true}));
    ASSERT_NE(skinMakerWindow, nullptr);
    auto skinMaker = RunningProgram::Adopt(skinMakerWindow);
    ASSERT_OK(skinMaker);
    EXPECT_EQ(Or(skinMaker.value().programFile(), ""), app + "\\Tessary.exe");
    ASSERT_OK(PressKey(skinMakerWindow, VK_ESCAPE));
    ASSERT_OK(skinMaker.value().waitForExit());

    auto listRemoval = RunningProgram::Start({"C:\\windows\\system32\\uninstaller.exe", {"--remove", "Tessary"}, {}, {}});
    ASSERT_OK(listRemoval);
    const HWND window = MUST(FindTopWindow({"Uninstall", "", 0, true}));
    ASSERT_NE(window, nullptr);
    auto remover = RunningProgram::Adopt(window);
    ASSERT_OK(remover);
    const DWORD removerProcess = remover.value().processId();
    ASSERT_OK(Click(MUST(FindControl(window, "Command1"))));
    EXPECT_EQ(answer("Tessary", IDYES, removerProcess), "Do you want to uninstall Tessary");
    EXPECT_EQ(answer("Uninstaller", IDOK, removerProcess), "Uninstallation Complete");
    ASSERT_OK(remover.value().waitForExit());
    ASSERT_OK(listRemoval.value().waitForExit());

    EXPECT_FALSE(FolderExists(app));
    EXPECT_TRUE(FolderExists(base));
    EXPECT_FALSE(FolderExists(ProgramsFolder() + "\\Tessary"));
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").ok());
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPathKey, "Path").ok());
}

} // namespace
} // namespace tess::e2e
