// The product's whole life in one fresh prefix: installed from the distributable, used, removed
// through the system's list, nothing left but the toolbar setting; foreign copies remove nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <list>
#include <string>

#include "tests/e2e/driver/common_dialogs.h"
#include "tests/e2e/driver/control_state.h"
#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/installed_programs.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/registry_files.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/test_results.h"
#include "tests/e2e/driver/window_search.h"
#include "tests/e2e/installer/installed_product.h"

namespace tess::e2e {
namespace {

constexpr const char* kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
const std::string kDownloads = "C:\\Downloads";

std::string Or(const Result<std::string>& read, const std::string& otherwise) {
    return read ? read.value() : otherwise;
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool KeyExists(const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// Whether Wine's list of installed programs shows the product.
bool Listed() {
    auto list = InstalledProgramsList();
    EXPECT_TRUE(list.ok()) << list.error().message;
    return list.ok() && ListsProgram(list.value(), "Tessary", "Tessary");
}

class ProductLife : public ::testing::Test {
protected:
    // The program showing `window`, started by another one; ended with the test at the latest.
    RunningProgram* adopt(HWND window) {
        auto adopted = RunningProgram::Adopt(window);
        EXPECT_TRUE(adopted.ok()) << adopted.error().message;
        if (!adopted) return nullptr;
        started.push_back(std::move(adopted).value());
        return &started.back();
    }
    std::string programFile(const RunningProgram& program) {
        auto file = program.programFile();
        return file ? file.value() : "(" + file.error().message + ")";
    }

    // The message box of `processId` titled `caption`: its text, answered with `button`.
    std::string answer(DWORD processId, const std::string& caption, int button) {
        auto box = FindMessageBox(processId, caption);
        if (!box) return "(no message box: " + box.error().message + ")";
        auto said = MessageText(box.value());
        EXPECT_TRUE(PressMessageButton(box.value(), button).ok());
        return said ? said.value() : "(unreadable)";
    }
    std::string text(HWND top, const char* name) {
        auto control = FindControl(top, name);
        if (!control) return "(no " + std::string(name) + ")";
        auto t = Text(control.value());
        return t ? t.value() : "(unreadable)";
    }
    void install() {
        const std::string setup = kDownloads + "\\Tessary-1.0";
        CreateDirectoryA(kDownloads.c_str(), nullptr);
        CreateDirectoryA(setup.c_str(), nullptr);
        for (const char* name : {"orvinst.exe", "tess10.cab"})
            ASSERT_TRUE(CopyFileA((WindowsPath(TESS_DISTRIBUTABLE_DIR) + "\\" + name).c_str(),
                                  (setup + "\\" + name).c_str(), FALSE)) << name;
        auto program = RunningProgram::Start({setup + "\\orvinst.exe", {}, setup, {}});
        ASSERT_OK(program);
        auto wizard = FindTopWindow({"Halvory Installation", "", program.value().processId(), true});
        ASSERT_OK(wizard);
        for (const char* page : {"Choose Directory", "Click Next to Start Copying Files.",
                                 "Tessary Installation is Finished."}) {
            ASSERT_OK(PressKey(wizard.value(), VK_RETURN));
            ASSERT_OK(WaitUntil([&] { return text(wizard.value(), "About").find(page) != std::string::npos; },
                                std::string("the page saying ") + page));
        }
        ASSERT_OK(PressKey(wizard.value(), VK_RETURN));
        EXPECT_EQ(answer(program.value().processId(), "Tessary installation", IDNO), "Do you want to run Tessary");
        ASSERT_OK(program.value().waitForExit());
    }

    // The skin maker started from its Start-menu shortcut, as the user starts it.
    void startSkinMaker() {
        const std::string shortcut = group + "\\Tessary.lnk";
        ASSERT_TRUE(FileExists(shortcut));
        ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", shortcut.c_str(), nullptr, nullptr,
                                                          SW_SHOWNORMAL)), 32);
        auto window = FindTopWindow({kSkinMakerTitle, "", 0, true});
        ASSERT_OK(window);
        skinMaker = window.value();
        skinMakerProgram = adopt(skinMaker);
        ASSERT_NE(skinMakerProgram, nullptr);
        skinMakerProcess = skinMakerProgram->processId();
        EXPECT_EQ(programFile(*skinMakerProgram), app + "\\Tessary.exe");
    }

    // A picture opened, applied and kept in the collection.
    void makeSkin(const std::string& picture) {
        auto browse = FindControl(skinMaker, "Command1");
        ASSERT_OK(browse);
        ASSERT_OK(Click(browse.value()));
        ASSERT_OK(AnswerOpenDialog(skinMakerProcess, WindowsPath(std::string(TESS_TEST_DATA_DIR) + "/pictures/" + picture)));
        auto apply = FindControl(skinMaker, "Command4");
        ASSERT_OK(apply);
        ASSERT_OK(Click(apply.value()));
        EXPECT_EQ(answer(skinMakerProcess, "Tessary", IDOK),
                  "Successfully Created IE Skin. Test IE Skin by opening new Internet Explorer window.");
        EXPECT_EQ(answer(skinMakerProcess, "Confirm", IDYES), "Do you want to add IE Skin to Skin Collection");
    }

    // The uninstaller's window, once it shows.
    HWND uninstallWindow(DWORD processId = 0) {
        auto window = FindTopWindow({"Uninstall", "", processId, true});
        EXPECT_TRUE(window.ok()) << window.error().message;
        return window ? window.value() : nullptr;
    }
    void clickStart(HWND window) {
        auto start = FindControl(window, "Command1");
        ASSERT_OK(start);
        ASSERT_OK(Click(start.value()));
    }

    // A copy of the uninstaller in `folder`, started there: Start refuses, Close ends it.
    void refusedCopy(const std::string& folder, const std::string& expectedReason) {
        auto copy = RunningProgram::Start({folder + "\\remover.exe", {}, folder, {}});
        ASSERT_OK(copy);
        HWND window = uninstallWindow(copy.value().processId());
        ASSERT_NE(window, nullptr);
        clickStart(window);
        const std::string said = answer(copy.value().processId(), "Uninstaller", IDOK);
        EXPECT_EQ(said.rfind("Nothing was removed: ", 0), 0u) << said;
        EXPECT_NE(said.find(expectedReason), std::string::npos) << said;
        EXPECT_FALSE(FindMessageBox(copy.value().processId(), "Tessary", Timeout{1000}).ok());
        auto close = FindControl(window, "Command2");
        ASSERT_OK(close);
        ASSERT_OK(Click(close.value()));
        ASSERT_OK(copy.value().waitForExit());
    }

    std::string app = ProgramFilesFolder() + "\\Tessary";
    std::string group = ProgramsFolder() + "\\Tessary";
    HWND skinMaker = nullptr;
    RunningProgram* skinMakerProgram = nullptr;
    DWORD skinMakerProcess = 0;
    std::list<RunningProgram> started;
};

TEST_F(ProductLife, InstallUseAndUninstallLeaveOnlyTheToolbarSetting) {
    install();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(Listed());
    EXPECT_TRUE(FileExists(app + "\\remover.exe"));

    // A copy of the uninstaller in a folder of other files removes nothing there or elsewhere.
    const std::string tools = kDownloads + "\\tools";
    CreateDirectoryA(tools.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((app + "\\remover.exe").c_str(), (tools + "\\remover.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA((app + "\\Tessary.exe").c_str(), (tools + "\\holiday.exe").c_str(), FALSE));
    refusedCopy(tools, tools);
    EXPECT_TRUE(FileExists(tools + "\\holiday.exe"));
    EXPECT_TRUE(FileExists(tools + "\\remover.exe"));
    EXPECT_TRUE(FileExists(app + "\\Tessary.exe"));
    EXPECT_TRUE(KeyExists(kUninstallKey));

    startSkinMaker();
    ASSERT_FALSE(HasFatalFailure());
    makeSkin("gif87-opaque.gif");
    makeSkin("jpeg-baseline.jpg");
    ASSERT_FALSE(HasFatalFailure());
    const std::string skin = app + "\\Skin.bmp";
    EXPECT_EQ(Or(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), ""), "Tessary");
    EXPECT_EQ(Or(ReadRegistryString(HKEY_CURRENT_USER, kToolbarKey, "BackBitmap"), ""), skin);
    // Each skin is kept a moment after its question is answered.
    for (const char* kept : {"\\Skin0001.bmp", "\\Skin0002.bmp"})
        EXPECT_TRUE(WaitUntil([&] { return FileExists(app + "\\Collection" + kept); }, kept).ok()) << kept;
    ASSERT_TRUE(IsWindow(skinMaker));

    // The system's list of programs runs the registered command: the installed uninstaller hands
    // over to a copy of itself, whose window asks the running skin maker to close.
    auto listRemoval = RunningProgram::Start({"C:\\windows\\system32\\uninstaller.exe", {"--remove", "Tessary"}, {}, {}});
    ASSERT_OK(listRemoval);
    HWND window = uninstallWindow();
    ASSERT_NE(window, nullptr);
    RunningProgram* uninstallerProgram = adopt(window);
    ASSERT_NE(uninstallerProgram, nullptr);
    const DWORD uninstaller = uninstallerProgram->processId();
    const std::string copy = programFile(*uninstallerProgram);
    char temp[MAX_PATH] = {};
    const DWORD tempLength = GetTempPathA(MAX_PATH, temp);
    EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, copy.c_str(), static_cast<int>(tempLength), temp,
                             static_cast<int>(tempLength)), CSTR_EQUAL) << copy << " is not in " << temp;
    ASSERT_OK(skinMakerProgram->waitForExit());
    EXPECT_EQ(text(window, "Label2"), "Click Strat to Start Tessary Unstalltion");

    // No changes nothing; Yes removes everything and says so.
    clickStart(window);
    EXPECT_EQ(answer(uninstaller, "Tessary", IDNO), "Do you want to uninstall Tessary");
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(FileExists(app + "\\Tessary.exe"));
    EXPECT_TRUE(FileExists(app + "\\Collection\\Skin0002.bmp"));
    EXPECT_TRUE(KeyExists(kAppPathKey));
    clickStart(window);
    EXPECT_EQ(answer(uninstaller, "Tessary", IDYES), "Do you want to uninstall Tessary");
    auto report = FindMessageBox(uninstaller, "Uninstaller");
    ASSERT_OK(report);
    EXPECT_EQ(MessageIconOf(report.value()), MessageIcon::None);
    EXPECT_EQ(answer(uninstaller, "Uninstaller", IDOK), "Uninstallation Complete");
    ASSERT_OK(uninstallerProgram->waitForExit());
    ASSERT_OK(listRemoval.value().waitForExit());

    EXPECT_FALSE(FolderExists(app));
    EXPECT_FALSE(FolderExists(group));
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(KeyExists(kAppPathKey));
    EXPECT_FALSE(KeyExists("SOFTWARE\\Tessary"));
    EXPECT_FALSE(Listed());
    EXPECT_EQ(Or(ReadRegistryString(HKEY_CURRENT_USER, kToolbarKey, "BackBitmap"), ""), skin);
    EXPECT_TRUE(FileExists(tools + "\\holiday.exe"));
    // The temporary copy goes at the next start.
    HKEY session = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                            KEY_READ, &session), ERROR_SUCCESS);
    char pending[4096] = {};
    DWORD size = sizeof pending - 2;
    const LONG read = RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(pending), &size);
    RegCloseKey(session);
    ASSERT_EQ(read, ERROR_SUCCESS);
    EXPECT_NE(std::string(pending, size).find(copy.substr(copy.find_last_of('\\'))), std::string::npos);

    // Run again from a restored folder, the uninstaller finds no installation and says so.
    CreateDirectoryA(app.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((tools + "\\remover.exe").c_str(), (app + "\\remover.exe").c_str(), FALSE));
    refusedCopy(app, "not installed");
    EXPECT_TRUE(FileExists(app + "\\remover.exe"));
}

} // namespace
} // namespace tess::e2e
