// The real setup program worked from outside: its window and first pages, the keys that move
// between them, a missing cabinet, and an installation with its files, registry values,
// shortcuts and the cabinet removed, ending on the last page.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <optional>
#include <string>

#include "tests/e2e/driver/control_state.h"
#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/registry_files.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/window_search.h"

namespace tess::e2e {
namespace {

constexpr const char* kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessary";

// The default base folder as the system gives it to a 32-bit program.
std::string ProgramFilesFolder() {
    auto folder = ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                     "ProgramFilesDir");
    return folder ? folder.value() : "C:\\Program Files";
}

class SetupE2E : public ::testing::Test {
protected:
    void SetUp() override {
        folder = WindowsPath(TESS_E2E_WORK) + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        CreateDirectoryA(WindowsPath(TESS_E2E_WORK).c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(WindowsPath(ORVINST_EXE).c_str(), (folder + "\\orvinst.exe").c_str(), FALSE));
    }
    void TearDown() override {
        if (program && program->running()) (void)program->terminate();
    }
    void start() {
        auto started = RunningProgram::Start({folder + "\\orvinst.exe", {}, folder, {}});
        ASSERT_TRUE(started.ok()) << started.error().message;
        program.emplace(std::move(started).value());
        auto found = FindTopWindow({"Halvory Installation", "", program->processId(), true});
        ASSERT_TRUE(found.ok()) << found.error().message;
        wizard = found.value();
    }
    std::string text(const char* name) {
        auto control = FindControl(wizard, name);
        if (!control) return "(no " + std::string(name) + ")";
        auto t = Text(control.value());
        return t ? t.value() : "(unreadable)";
    }
    // Presses a key and waits until the page text says `expected` somewhere.
    void keyUntil(UINT key, const std::string& expected) {
        ASSERT_TRUE(PressKey(wizard, key).ok());
        const Status shown = WaitUntil([&] { return text("About").find(expected) != std::string::npos; },
                                       "the page text \"" + expected + "\"");
        ASSERT_TRUE(shown.ok()) << shown.error().message << "; the page says: " << text("About");
    }
    std::string answer(const std::string& caption, int button) {
        auto box = FindMessageBox(program->processId(), caption);
        if (!box) return "(no message box)";
        auto said = MessageText(box.value());
        EXPECT_TRUE(PressMessageButton(box.value(), button).ok());
        return said ? said.value() : "(unreadable)";
    }

    std::string folder;
    std::optional<RunningProgram> program;
    HWND wizard = nullptr;
};

TEST_F(SetupE2E, PagesFollowTheKeysAndAMissingCabinetEndsTheProgram) {
    start();
    RECT at{};
    GetWindowRect(wizard, &at);
    EXPECT_EQ(at.left, 7);  // 100 twips
    EXPECT_EQ(at.top, 7);
    EXPECT_EQ(at.right - at.left, 355);
    EXPECT_TRUE(GetWindowLongA(wizard, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(text("About").find("Welcome to Tessary Installation Program."), std::string::npos);

    keyUntil(VK_RETURN, "Choose Directory for Tessary Installation.");
    EXPECT_EQ(text("Label3"), ProgramFilesFolder() + "\\Tessary");
    keyUntil(VK_LEFT, "Welcome to Tessary Installation Program.");
    keyUntil(VK_RIGHT, "Choose Directory");
    keyUntil(VK_RETURN, "Click Next to Start Copying Files.");

    // Esc asks the exit question; No keeps the wizard where it was.
    ASSERT_TRUE(PressKey(wizard, VK_ESCAPE).ok());
    EXPECT_EQ(answer("Halvory Setup", IDNO), "Do you want to exit from Halvory setup");
    EXPECT_TRUE(program->running());

    // The question set the wizard to ignore the Enter that would have answered it: the first
    // Enter is consumed, the next one starts the installation, which finds no cabinet.
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_FALSE(FindMessageBox(program->processId(), "Halvory Setup", Timeout{1500}).ok());
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer("Halvory Setup", IDOK), "Installable Files are not available");
    EXPECT_TRUE(program->waitForExit().ok());
    EXPECT_FALSE(FileExists(ProgramFilesFolder() + "\\Tessary\\Tessary.exe"));
}

TEST_F(SetupE2E, InstallsTheProgramsRegistersThemAndRemovesTheCabinet) {
    ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_CABINET).c_str(), (folder + "\\tess10.cab").c_str(), FALSE));
    start();
    keyUntil(VK_RETURN, "Choose Directory");
    keyUntil(VK_RETURN, "Click Next to Start Copying Files.");
    keyUntil(VK_RETURN, "Tessary Installation is Finished.");

    const std::string app = ProgramFilesFolder() + "\\Tessary";
    auto installed = ReadFileBytes(app + "\\Tessary.exe");
    auto built = ReadFileBytes(WindowsPath(TESSARY_EXE));
    ASSERT_TRUE(installed.ok() && built.ok());
    EXPECT_TRUE(installed.value() == built.value());
    EXPECT_TRUE(FileExists(app + "\\remover.exe"));
    EXPECT_FALSE(FileExists(folder + "\\tess10.cab"));
    auto name = ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName");
    EXPECT_EQ(name ? name.value() : "", "Tessary");
    auto uninstall = ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    EXPECT_EQ(uninstall ? uninstall.value() : "", "\"" + app + "\\remover.exe\"");

    char programs[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE));
    EXPECT_TRUE(FileExists(std::string(programs) + "\\Tessary\\Tessary.lnk"));
    EXPECT_TRUE(FileExists(std::string(programs) + "\\Tessary\\Uninstall Tessary.lnk"));

    // Enter on the last page asks whether to run the skin maker; No ends the setup program.
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer("Tessary installation", IDNO), "Do you want to run Tessary");
    EXPECT_TRUE(program->waitForExit().ok());
}

} // namespace
} // namespace tess::e2e
