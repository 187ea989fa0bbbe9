// What the real setup program leaves and starts: files, registry, shortcuts, the programs list, a
// second run; damaged, incomplete and changed cabinets, also over an installation; the skin maker.
#include <objbase.h>
#include <shobjidl.h>

#include <algorithm>
#include <fstream>

#include "tests/e2e/driver/installed_programs.h"
#include "tests/e2e/installer/setup_session.h"

namespace tess::e2e {
namespace {

// The names of the files directly in `folder`, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

class SetupResults : public SetupSession {
protected:
    std::string extracted(const char* name) { return WindowsPath(TESS_E2E_EXTRACTED) + "\\" + name; }
    std::string shortcut(const char* caption) { return ProgramsFolder() + "\\Tessary\\" + caption + ".lnk"; }

    // The distributable's cabinet beside the setup program, its first data block damaged: a byte
    // of its checksum and of the compression's signature flipped. (More bytes flipped inside the
    // compressed data make Wine's own cabinet library write out of bounds and crash, so the damage
    // is kept where any reader looks first.)
    void placeDamagedCabinet() {
        placeCabinet();
        std::fstream file(cabinet(), std::ios::in | std::ios::out | std::ios::binary);
        uint32_t firstBlock = 0;
        file.seekg(36);  // the first folder's offset of its data blocks
        file.read(reinterpret_cast<char*>(&firstBlock), sizeof firstBlock);
        ASSERT_TRUE(file.good());
        for (const std::streamoff at : {std::streamoff(firstBlock), std::streamoff(firstBlock) + 8}) {
            char byte = 0;
            file.seekg(at);
            file.read(&byte, 1);
            file.seekp(at);
            file.put(static_cast<char>(~byte));
        }
        ASSERT_TRUE(file.good());
    }
    // Enter on the page that starts the installation, and the page-4 text while it is shown: the
    // program is busy for that second, so the text is read without asking the program. The last
    // page that follows is a failed installation's.
    std::string installingPageText() {
        HWND about = control("About");
        std::string seen;
        EXPECT_TRUE(PressKey(wizard, VK_RETURN).ok());
        const Status shown = WaitUntil(
            [&] {
                seen = Caption(about);
                return seen.find("could not be installed") != std::string::npos ||
                       seen.find("The setup files are damaged") != std::string::npos ||
                       seen.find(kNotFinishedPage) != std::string::npos;
            },
            "the installing page");
        EXPECT_TRUE(shown.ok()) << shown.error().message;
        awaitPage(kNotFinishedPage);
        return seen;
    }
    // The last page of a failed installation keeps the reasons; Enter ends the setup program
    // without offering to run what is not there.
    void expectFailureToldOnTheLastPage(const std::string& reason) {
        EXPECT_NE(text("About").find(reason), std::string::npos) << text("About");
        EXPECT_EQ(text("Label2(1)"), "");
        ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
        EXPECT_TRUE(program->waitForExit().ok());
        EXPECT_FALSE(FindMessageBox(program->processId(), "Tessary installation", Timeout{500}).ok());
    }
    // Nothing of the product is registered or put in the Start menu.
    void expectNothingRegistered() {
        EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").ok());
        EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").ok());
        EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPathKey, "Path").ok());
        EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kAppPathKey, "").ok());
        EXPECT_FALSE(FileExists(shortcut("Tessary")));
        EXPECT_FALSE(FileExists(shortcut("Uninstall Tessary")));
    }
    // A skin maker window appears, and its process runs the file installed in `app`.
    void expectSkinMakerStartedFrom(const std::string& app) {
        const DWORD setupId = program->processId();
        EXPECT_TRUE(program->waitForExit().ok());
        auto window = FindTopWindow({kSkinMakerCaption, "", 0, true});
        ASSERT_TRUE(window.ok()) << window.error().message;
        auto skinMaker = RunningProgram::Adopt(window.value());
        ASSERT_TRUE(skinMaker.ok()) << skinMaker.error().message;
        auto image = skinMaker.value().programFile();
        ASSERT_TRUE(image.ok()) << image.error().message;
        EXPECT_TRUE(SamePath(image.value(), app + "\\Tessary.exe")) << image.value();
        // Started by the desktop's shell, with the shell's token: not by the elevated setup program.
        auto parent = ParentProcessId(skinMaker.value().processId());
        ASSERT_TRUE(parent.ok()) << parent.error().message;
        EXPECT_NE(parent.value(), setupId);
        auto parentFile = ProcessFile(parent.value());
        ASSERT_TRUE(parentFile.ok()) << parentFile.error().message;
        const std::string parentName = parentFile.value().substr(parentFile.value().find_last_of('\\') + 1);
        EXPECT_TRUE(SamePath(parentName, "explorer.exe")) << parentFile.value();
        EXPECT_TRUE(skinMaker.value().terminate().ok());
    }
};

TEST_F(SetupResults, InstalledFilesMatchTheCabinetAndTheSystemListsTheProduct) {
    placeCabinet();
    start();
    installWithKeys();
    const std::string app = defaultAppFolder();

    uint64_t bytes = 0;
    for (const char* name : {"Tessary.exe", "remover.exe"}) {
        auto installed = ReadFileBytes(app + "\\" + name);
        auto expected = ReadFileBytes(extracted(name));
        ASSERT_TRUE(installed.ok()) << installed.error().message;
        ASSERT_TRUE(expected.ok()) << expected.error().message;
        EXPECT_TRUE(installed.value() == expected.value()) << name << " differs from the cabinet's";
        bytes += expected.value().size();
    }
    EXPECT_FALSE(FileExists(cabinet()));

    const auto value = [](const char* key, const char* name) {
        auto read = ReadRegistryString(HKEY_LOCAL_MACHINE, key, name);
        return read ? read.value() : "(" + read.error().message + ")";
    };
    const auto number = [](const char* name) {
        auto read = ReadRegistryDword(HKEY_LOCAL_MACHINE, kUninstallKey, name);
        return read ? static_cast<int64_t>(read.value()) : -1;
    };
    EXPECT_EQ(value(kUninstallKey, "DisplayName"), "Tessary");
    EXPECT_EQ(value(kUninstallKey, "UninstallString"), "\"" + app + "\\remover.exe\"");
    EXPECT_EQ(value(kUninstallKey, "DisplayIcon"), app + "\\Tessary.exe");
    EXPECT_EQ(value(kUninstallKey, "DisplayVersion"), "1.0");
    EXPECT_EQ(value(kUninstallKey, "Publisher"), "Halvory");
    EXPECT_EQ(value(kUninstallKey, "InstallLocation"), app);
    EXPECT_EQ(number("EstimatedSize"), static_cast<int64_t>((bytes + 1023) / 1024));
    EXPECT_EQ(number("NoModify"), 1);
    EXPECT_EQ(number("NoRepair"), 1);
    EXPECT_EQ(value(kAppPathKey, "Path"), app + "\\Tessary.exe");
    EXPECT_EQ(value(kAppPathKey, ""), app + "\\Tessary.exe");

    EXPECT_TRUE(SamePath(ShortcutTarget(shortcut("Tessary")), app + "\\Tessary.exe"))
        << ShortcutTarget(shortcut("Tessary"));
    EXPECT_TRUE(SamePath(ShortcutTarget(shortcut("Uninstall Tessary")), app + "\\remover.exe"))
        << ShortcutTarget(shortcut("Uninstall Tessary"));

    // The system's own uninstaller lists it.
    auto listed = InstalledProgramsList();
    ASSERT_TRUE(listed.ok()) << listed.error().message;
    EXPECT_TRUE(ListsProgram(listed.value(), "Tessary", "Tessary")) << listed.value();

    // Finishing without running the skin maker; a second run from the same folder finds the
    // cabinet gone and stops at the installation.
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer("Tessary installation", IDNO), "Do you want to run Tessary");
    ASSERT_TRUE(program->waitForExit().ok());
    start();
    keyUntil(VK_RETURN, kChoosePage);
    keyUntil(VK_RETURN, kReadyPage);
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer(kSetupCaption, IDOK), "Installable Files are not available");
    EXPECT_TRUE(program->waitForExit().ok());
    EXPECT_TRUE(FileExists(app + "\\Tessary.exe"));
}

TEST_F(SetupResults, ADamagedCabinetNamesTheProgramsAndIsKept) {
    placeDamagedCabinet();
    auto damaged = ReadFileBytes(cabinet());
    ASSERT_TRUE(damaged.ok());
    start();
    keyUntil(VK_RETURN, kChoosePage);
    keyUntil(VK_RETURN, kReadyPage);
    const std::string page = installingPageText();

    // Both programs share one compressed stream, and the damage lies at its start.
    EXPECT_NE(page.find("\\Tessary\\Tessary.exe\r\n"), std::string::npos) << page;
    EXPECT_NE(page.find("Tessary.exe could not be installed."), std::string::npos) << page;
    EXPECT_NE(page.find("remover.exe could not be installed."), std::string::npos) << page;
    EXPECT_NE(page.find("The setup files were kept; please run setup again."), std::string::npos) << page;
    auto kept = ReadFileBytes(cabinet());
    ASSERT_TRUE(kept.ok()) << "the cabinet was removed";
    EXPECT_TRUE(kept.value() == damaged.value());
    // Nothing arrived, so nothing was put in place, and no part of the attempt stayed behind.
    EXPECT_TRUE(FilesIn(defaultAppFolder()).empty()) << defaultAppFolder();
    expectNothingRegistered();
    expectFailureToldOnTheLastPage("Tessary.exe could not be installed.");
}

// Over a working installation, a cabinet that gives nothing leaves the installed programs, and
// what the system and the Start menu have of them, as they were.
TEST_F(SetupResults, AReinstallationFromADamagedCabinetKeepsTheInstalledProgramsWorking) {
    placeCabinet();
    start();
    installWithKeys();
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer("Tessary installation", IDNO), "Do you want to run Tessary");
    ASSERT_TRUE(program->waitForExit().ok());

    placeDamagedCabinet();
    start();
    keyUntil(VK_RETURN, kChoosePage);
    keyUntil(VK_RETURN, kReadyPage);
    const std::string page = installingPageText();
    EXPECT_NE(page.find("Tessary.exe could not be installed."), std::string::npos) << page;

    const std::string app = defaultAppFolder();
    for (const char* name : {"Tessary.exe", "remover.exe"}) {
        auto installed = ReadFileBytes(app + "\\" + name);
        auto expected = ReadFileBytes(extracted(name));
        ASSERT_TRUE(installed.ok()) << name << ": " << installed.error().message;
        ASSERT_TRUE(expected.ok()) << expected.error().message;
        EXPECT_TRUE(installed.value() == expected.value()) << name << " differs from the first installation's";
    }
    EXPECT_EQ(FilesIn(app), (std::vector<std::string>{"Tessary.exe", "remover.exe"}));

    const auto value = [](const char* key, const char* name) {
        auto read = ReadRegistryString(HKEY_LOCAL_MACHINE, key, name);
        return read ? read.value() : "(" + read.error().message + ")";
    };
    std::string uninstall = value(kUninstallKey, "UninstallString");
    ASSERT_GE(uninstall.size(), 2u);
    EXPECT_EQ(uninstall.front(), '"');
    uninstall = uninstall.substr(1, uninstall.size() - 2);  // without its quotes
    for (const std::string& target :
         {uninstall, value(kUninstallKey, "DisplayIcon"), value(kAppPathKey, ""), value(kAppPathKey, "Path"),
          ShortcutTarget(shortcut("Tessary")), ShortcutTarget(shortcut("Uninstall Tessary"))}) {
        EXPECT_TRUE(FileExists(target)) << target;
        EXPECT_TRUE(SamePath(target.substr(0, target.find_last_of('\\')), app)) << target;
    }
    EXPECT_TRUE(FileExists(cabinet()));
    expectFailureToldOnTheLastPage("Tessary.exe could not be installed.");
}

TEST_F(SetupResults, ACabinetWithoutTheUninstallerNamesItAndIsKept) {
    placeCabinet(WindowsPath(TESS_E2E_NO_REMOVER_CABINET));
    start();
    keyUntil(VK_RETURN, kChoosePage);
    keyUntil(VK_RETURN, kReadyPage);
    const std::string page = installingPageText();

    EXPECT_NE(page.find("remover.exe could not be installed."), std::string::npos) << page;
    EXPECT_EQ(page.find("Tessary.exe could not be installed."), std::string::npos) << page;
    EXPECT_NE(page.find("The setup files were kept; please run setup again."), std::string::npos) << page;
    EXPECT_TRUE(FileExists(cabinet()));
    EXPECT_FALSE(FileExists(defaultAppFolder() + "\\remover.exe"));
    expectNothingRegistered();
    expectFailureToldOnTheLastPage("remover.exe could not be installed.");
}

// A cabinet whose skin maker differs by one byte from the one this setup program was built with
// extracts cleanly, but nothing of it is installed.
TEST_F(SetupResults, ACabinetWithAChangedSkinMakerInstallsNothingAndSaysTheSetupFilesAreDamaged) {
    placeCabinet(WindowsPath(TESS_E2E_CHANGED_PROGRAM_CABINET));
    auto placed = ReadFileBytes(cabinet());
    ASSERT_TRUE(placed.ok()) << placed.error().message;
    start();
    keyUntil(VK_RETURN, kChoosePage);
    keyUntil(VK_RETURN, kReadyPage);
    const std::string page = installingPageText();

    const std::string damaged = "The setup files are damaged: Tessary.exe is not the one this setup was made with.";
    EXPECT_NE(page.find(damaged), std::string::npos) << page;
    EXPECT_EQ(page.find("remover.exe is not the one"), std::string::npos) << page;
    EXPECT_EQ(page.find("could not be installed"), std::string::npos) << page;
    auto kept = ReadFileBytes(cabinet());
    ASSERT_TRUE(kept.ok()) << "the cabinet was removed";
    EXPECT_TRUE(kept.value() == placed.value());
    EXPECT_TRUE(FilesIn(defaultAppFolder()).empty()) << defaultAppFolder();
    expectNothingRegistered();
    expectFailureToldOnTheLastPage(damaged);
}

TEST_F(SetupResults, ARunningSkinMakerIsClosedBeforeTheWizardShows) {
    ASSERT_TRUE(CopyFileA(WindowsPath(TESSARY_EXE).c_str(), (folder + "\\Tessary.exe").c_str(), FALSE));
    auto skinMaker = RunningProgram::Start({folder + "\\Tessary.exe", {}, folder, {}});
    ASSERT_TRUE(skinMaker.ok()) << skinMaker.error().message;
    ASSERT_TRUE(FindTopWindow({kSkinMakerCaption, "", skinMaker.value().processId(), true}).ok());
    // Its hidden application window is what the setup program asks to close.
    ASSERT_TRUE(FindTopWindow({"Tessary", "", skinMaker.value().processId()}).ok());
    ASSERT_TRUE(skinMaker.value().running());

    start();
    EXPECT_TRUE(skinMaker.value().waitForExit().ok()) << "the skin maker still runs";
    EXPECT_TRUE(IsWindowVisible(wizard));
    awaitPage(kWelcomePage);
}

TEST_F(SetupResults, YesToTheLastQuestionStartsTheInstalledSkinMaker) {
    placeCabinet();
    start();
    installWithKeys();
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer("Tessary installation", IDYES), "Do you want to run Tessary");
    expectSkinMakerStartedFrom(defaultAppFolder());
}

TEST_F(SetupResults, TheRunAreaStartsTheInstalledSkinMaker) {
    placeCabinet();
    start();
    clickUntil("Image1(2)", kChoosePage);
    clickUntil("Image1(2)", kReadyPage);
    clickUntil("Image1(2)", kFinishedPage);
    EXPECT_EQ(text("Label2(1)"), "&Run");
    clickArea("Image1(1)");
    expectSkinMakerStartedFrom(defaultAppFolder());
}

} // namespace
} // namespace tess::e2e
