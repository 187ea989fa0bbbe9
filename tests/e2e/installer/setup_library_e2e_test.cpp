// Marker libraries planted under the name of every library the setup program and the uninstaller
// load besides the system's known ones, beside each program and in the temporary folder, preferred
// by the loader: neither program may load one, nor any library from outside the system folder,
// and both still do their work, also as built for a loader without the search flags; a plain load
// does take a planted library.
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "tests/e2e/driver/test_results.h"
#include "tests/e2e/installer/setup_session.h"

namespace tess::e2e {
namespace {

// The libraries outside the known ones that the two programs load once they run (Wine's record of
// each loading showed them, with the programs' earlier imports): the cabinet library for the
// extraction, the network library for the drive list, the common controls library that labels
// once needed, and the theme library the system loads for the programs' windows. What the known
// libraries import themselves comes from the system folder on Windows; Wine, lacking known
// libraries, looks for those beside the program before its first line runs, so they are not
// planted (kernelbase, ucrtbase, sechost, combase, shcore, version, win32u under Wine).
const std::vector<std::string> kPlantedNames = {"cabinet", "mpr", "comctl32", "uxtheme"};

// Planted besides for the builds that take the loader as one without the search flags, where the
// program's folder stays first for a library loaded by name: what the system's libraries load by
// name later, on Windows (themes, the window manager, COM's catalogue and proxies, security,
// profiles, the compatibility layer) and under Wine (the theme library when the first window is
// made, COM's proxies when Run asks the desktop's shell). Wine lacks some of them (clbcatq,
// cryptbase, ntmarta, profapi), so nothing loads those here; version is left out as above.
const std::vector<std::string> kLoadedLaterNames = {"actxprxy", "apphelp", "clbcatq", "cryptbase", "dwmapi", "ntmarta",
                                                    "oleacc", "profapi", "propsys", "userenv"};

// The folder of `path`, without its last separator.
std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// The folders the system's libraries come from: the system folder and, for a 32-bit program on a
// 64-bit system, the folder the system gives 32-bit programs instead.
std::vector<std::string> SystemFolders() {
    std::vector<std::string> folders;
    char folder[MAX_PATH] = {};
    if (UINT length = GetSystemDirectoryA(folder, MAX_PATH); length > 0 && length < MAX_PATH)
        folders.emplace_back(folder, length);
    if (UINT length = GetSystemWow64DirectoryA(folder, MAX_PATH); length > 0 && length < MAX_PATH)
        folders.emplace_back(folder, length);
    return folders;
}

// Whether the modules of another program can be listed here. The list is read from the program's
// memory through the system, and Wine run by a 32-bit emulator (qemu-user, where the kernel runs no
// 32-bit programs) reads the wrong memory: the same listing of this program, through a handle as
// another program would have, tells. Where it cannot, the markers alone tell what was loaded.
bool ModuleListsReadable() {
    static const bool readable = [] {
        const auto own = LoadedModules(GetCurrentProcessId());
        if (!own) std::cout << "Module lists cannot be read here (" << own.error().message << "): not checked\n";
        return own.ok();
    }();
    return readable;
}

class PlantedLibraries : public SetupSession {
protected:
    // Whether the programs run are the builds for a loader without the search flags.
    virtual bool withoutSearchFlags() const { return false; }

    void SetUp() override {
        SetupSession::SetUp();
        if (withoutSearchFlags()) {
            ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_ORVINST_WITHOUT_SEARCH_FLAGS).c_str(),
                                  (folder + "\\orvinst.exe").c_str(), FALSE));
        }
        names = kPlantedNames;
        if (withoutSearchFlags()) names.insert(names.end(), kLoadedLaterNames.begin(), kLoadedLaterNames.end());
        markers = folder + "\\markers";
        ASSERT_TRUE(MakeFolders(markers));
        EmptyFolder(markers);
        // Every program started from here on notes a planted library's loading in one folder.
        ASSERT_TRUE(SetEnvironmentVariableA("TESS_PLANTED_MARKERS", markers.c_str()));
        preferPlanted();
        plantIn(folder);
    }

    // A marker library under each planted name in `where`.
    void plantIn(const std::string& where) const {
        for (const std::string& name : names)
            ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_PLANTED_LIBRARY).c_str(), (where + "\\" + name + ".dll").c_str(),
                                  FALSE))
                << where << "\\" << name;
    }
    // Wine's loader told to prefer a native library of each planted name, as Windows' search order
    // would take one found before the system folder. Wine takes its loader overrides from the host
    // environment a program inherits, not from the environment block its parent passes, so the
    // registry serves instead; for every program of the prefix, since the uninstaller's copy may
    // run under another file name.
    void preferPlanted() const {
        for (const std::string& name : names)
            ASSERT_OK(WriteRegistryString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", name, "native,builtin"));
    }

    // What the marker libraries noted, a line for each loading; empty when none was loaded.
    std::string noted() const {
        auto bytes = ReadFileBytes(markers + "\\planted.marker");
        return bytes ? std::string(bytes.value().begin(), bytes.value().end()) : std::string();
    }

    // The modules of process `processId` that neither come from a system folder nor are its
    // program file, one a line; empty when there are none.
    static std::string foreignModules(DWORD processId, const std::string& programFile) {
        if (!ModuleListsReadable()) return "";
        const auto modules = LoadedModules(processId);
        if (!modules) return "(" + modules.error().message + ")";
        const std::vector<std::string> system = SystemFolders();
        std::string foreign;
        for (const std::string& module : modules.value()) {
            const std::string from = FolderOf(module);
            const bool fromSystem =
                std::any_of(system.begin(), system.end(), [&](const std::string& s) { return SamePath(s, from); });
            if (!fromSystem && !SamePath(module, programFile)) foreign += module + "\n";
        }
        return foreign;
    }

    // The message box titled `caption` of process `processId`: its text, answered with `button`.
    static std::string answerOf(DWORD processId, const std::string& caption, int button) {
        auto box = FindMessageBox(processId, caption);
        if (!box) return "(no message box: " + box.error().message + ")";
        auto said = MessageText(box.value());
        EXPECT_TRUE(PressMessageButton(box.value(), button).ok());
        return said ? said.value() : "(unreadable)";
    }

    std::string markers;
    std::vector<std::string> names;
};

class SetupLibraries : public PlantedLibraries {
protected:
    void installLoadingNone();
};
class UninstallerLibraries : public PlantedLibraries {
protected:
    void removeLoadingNone();
};
class SetupLibrariesWithoutSearchFlags : public SetupLibraries {
    bool withoutSearchFlags() const override { return true; }
};
class UninstallerLibrariesWithoutSearchFlags : public UninstallerLibraries {
    bool withoutSearchFlags() const override { return true; }
};

TEST_F(SetupLibraries, APlainLoadByNameTakesAPlantedLibrary) {
    ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_LIBRARY_LOADER).c_str(), (folder + "\\loader.exe").c_str(), FALSE));
    auto loader = RunningProgram::Start({folder + "\\loader.exe", {"cabinet.dll"}, folder, {}});
    ASSERT_OK(loader);
    auto code = loader.value().waitForExit();
    ASSERT_OK(code);
    EXPECT_EQ(code.value(), 0u);
    EXPECT_NE(noted().find("loader.exe loaded " + folder + "\\cabinet.dll"), std::string::npos) << noted();
}

// Runs with a network drive N: (run-with-drive.sh makes it), whose share the chooser's drive list
// asks the network library for; Run at the end brings in what starting through the shell loads.
void SetupLibraries::installLoadingNone() {
    placeCabinet();
    start();
    const std::string setupFile = folder + "\\orvinst.exe";
    clickUntil("Image1(2)", kChoosePage);
    clickArea("Image1(3)");
    auto chooser = FindTopWindow({kChooserTitle, "", program->processId(), true});
    ASSERT_OK(chooser);
    const HWND drives = control("drvDrives", chooser.value());
    ASSERT_NE(drives, nullptr);
    std::vector<std::string> entries;
    ASSERT_OK(WaitUntil(
        [&] {
            auto listed = ListEntries(drives);
            entries = listed ? listed.value() : std::vector<std::string>();
            return std::any_of(entries.begin(), entries.end(), [](const std::string& e) { return e.rfind("n:", 0) == 0; });
        },
        "the network drive n: in the drive list"));
    EXPECT_EQ(foreignModules(program->processId(), setupFile), "") << "with the chooser open";
    ASSERT_TRUE(ClickCentre(control("cmdCancel", chooser.value())).ok());
    ASSERT_OK(WaitForWindowGone(chooser.value()));

    clickUntil("Image1(2)", kReadyPage);
    clickUntil("Image1(2)", kFinishedPage);
    EXPECT_EQ(foreignModules(program->processId(), setupFile), "") << "after the installation";
    auto installed = ReadFileBytes(defaultAppFolder() + "\\Tessary.exe");
    auto expected = ReadFileBytes(WindowsPath(TESS_E2E_EXTRACTED) + "\\Tessary.exe");
    ASSERT_TRUE(installed.ok() && expected.ok());
    EXPECT_TRUE(installed.value() == expected.value());

    clickArea("Image1(1)");
    auto window = FindTopWindow({kSkinMakerCaption, "", 0, true});
    ASSERT_OK(window);
    auto skinMaker = RunningProgram::Adopt(window.value());
    ASSERT_OK(skinMaker);
    ASSERT_OK(program->waitForExit());
    const Status ended = skinMaker.value().terminate();
    EXPECT_TRUE(ended.ok()) << ended.error().message;
    EXPECT_EQ(noted(), "");
}

TEST_F(SetupLibraries, TheSetupProgramLoadsNoneAndInstalls) { installLoadingNone(); }
TEST_F(SetupLibrariesWithoutSearchFlags, TheSetupProgramLoadsNoneAndInstalls) { installLoadingNone(); }

// Whichever way the installed uninstaller hands over to a copy of itself, and wherever the copy
// runs, a planted library that either loads leaves its line in the one marker file.
void UninstallerLibraries::removeLoadingNone() {
    placeCabinet();
    start();
    installWithKeys();
    ASSERT_OK(PressKey(wizard, VK_RETURN));
    EXPECT_EQ(answer("Tessary installation", IDNO), "Do you want to run Tessary");
    ASSERT_OK(program->waitForExit());

    const std::string app = defaultAppFolder();
    if (withoutSearchFlags()) {
        ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_REMOVER_WITHOUT_SEARCH_FLAGS).c_str(),
                              (app + "\\remover.exe").c_str(), FALSE));
    }
    char temporary[MAX_PATH] = {};
    const DWORD temporaryLength = GetTempPathA(MAX_PATH, temporary);
    ASSERT_TRUE(temporaryLength > 0 && temporaryLength < MAX_PATH);
    ASSERT_NO_FATAL_FAILURE(plantIn(app));
    ASSERT_NO_FATAL_FAILURE(plantIn(FolderOf(std::string(temporary, temporaryLength))));

    // The command the system's list of programs runs.
    auto command = ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    ASSERT_OK(command);
    ASSERT_TRUE(command.value().size() > 2 && command.value().front() == '"' && command.value().back() == '"')
        << command.value();
    auto installed = RunningProgram::Start({command.value().substr(1, command.value().size() - 2), {}, {}, {}});
    ASSERT_OK(installed);

    // Two programs start one after the other: the installed uninstaller, then its copy.
    auto window = FindTopWindow({"Uninstall", "", 0, true}, kDefaultTimeout * 4);
    ASSERT_TRUE(window.ok()) << window.error().message << "; the installed uninstaller "
                             << (installed.value().running() ? "still runs" : "has ended") << "; the markers say: "
                             << noted();
    auto uninstaller = RunningProgram::Adopt(window.value());
    ASSERT_OK(uninstaller);
    const DWORD uninstallerId = uninstaller.value().processId();
    auto uninstallerFile = uninstaller.value().programFile();
    ASSERT_OK(uninstallerFile);
    auto startButton = FindControl(window.value(), "Command1");
    ASSERT_OK(startButton);
    ASSERT_OK(Click(startButton.value()));
    EXPECT_EQ(answerOf(uninstallerId, "Tessary", IDYES), "Do you want to uninstall Tessary");
    // The report shows once the removal is done: the busiest moment of the uninstaller's life.
    ASSERT_OK(FindMessageBox(uninstallerId, "Uninstaller"));
    EXPECT_EQ(foreignModules(uninstallerId, uninstallerFile.value()), "") << "with the report shown";
    EXPECT_EQ(answerOf(uninstallerId, "Uninstaller", IDOK), "Uninstallation Complete");
    ASSERT_OK(uninstaller.value().waitForExit());
    ASSERT_OK(installed.value().waitForExit());

    EXPECT_EQ(noted(), "");
    EXPECT_FALSE(FileExists(app + "\\Tessary.exe"));
    EXPECT_FALSE(FileExists(app + "\\remover.exe"));
}

TEST_F(UninstallerLibraries, TheUninstallerAndItsCopyLoadNoneAndRemoveTheProduct) { removeLoadingNone(); }
TEST_F(UninstallerLibrariesWithoutSearchFlags, TheUninstallerAndItsCopyLoadNoneAndRemoveTheProduct) {
    removeLoadingNone();
}

// Started from a folder other than the application folder, the uninstaller shows its window there
// itself, among the planted libraries, instead of handing over to a copy.
TEST_F(UninstallerLibrariesWithoutSearchFlags, ARunAmongThePlantedLibrariesLoadsNone) {
    const std::string remover = folder + "\\remover.exe";
    ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_REMOVER_WITHOUT_SEARCH_FLAGS).c_str(), remover.c_str(), FALSE));
    auto started = RunningProgram::Start({remover, {}, folder, {}});
    ASSERT_OK(started);
    ASSERT_OK(FindTopWindow({"Uninstall", "", started.value().processId(), true}));
    EXPECT_EQ(foreignModules(started.value().processId(), remover), "") << "with the window shown";
    ASSERT_OK(started.value().terminate());
    EXPECT_EQ(noted(), "");
}

} // namespace
} // namespace tess::e2e
