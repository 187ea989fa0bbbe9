// The real setup program worked from outside: its pages through keys and clicks on the artwork's
// button areas, the exit question, a missing cabinet, and an installation with what it leaves.
#include "tests/e2e/driver/keyboard.h"
#include "tests/e2e/installer/setup_session.h"

namespace tess::e2e {
namespace {

using SetupPages = SetupSession;
using SetupInstallation = SetupSession;

TEST_F(SetupPages, PagesFollowTheKeysAndAMissingCabinetEndsTheProgram) {
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

// The button areas are image boxes on the artwork with transparent captions over them: a click
// on a caption reaches the area beneath it.
TEST_F(SetupPages, ButtonAreasFollowClicksAndTheExitQuestionAnswersBothWays) {
    placeCabinet();
    start();
    clickUntil("Image1(2)", kChoosePage);
    EXPECT_EQ(text("Label3"), defaultAppFolder());
    clickUntil("Image1(1)", kWelcomePage);
    clickUntil("Image1(2)", kChoosePage);
    clickUntil("Image1(2)", kReadyPage);

    // Exit and the close mark ask the same question; No keeps the wizard on its page.
    clickArea("Image1(0)");
    EXPECT_EQ(answer(kSetupCaption, IDNO), "Do you want to exit from Halvory setup");
    clickArea("Buttt(1)");
    EXPECT_EQ(answer(kSetupCaption, IDNO), "Do you want to exit from Halvory setup");
    EXPECT_TRUE(program->running());
    EXPECT_NE(text("About").find(kReadyPage), std::string::npos) << text("About");
    clickUntil("Image1(1)", kChoosePage);

    // Yes ends the program before anything was installed.
    clickArea("Image1(0)");
    EXPECT_EQ(answer(kSetupCaption, IDYES), "Do you want to exit from Halvory setup");
    EXPECT_TRUE(program->waitForExit().ok());
    EXPECT_TRUE(FileExists(cabinet()));
    EXPECT_FALSE(FileExists(defaultAppFolder() + "\\Tessary.exe"));
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").ok());
}

// The Enter that answers No goes down on the box and comes up on the wizard once the box has
// gone; asked from a click, the question must consume that release as the Esc path does.
TEST_F(SetupPages, TheEnterAnsweringTheExitQuestionOfAClickStartsNoInstallation) {
    placeCabinet();
    start();
    clickUntil("Image1(2)", kChoosePage);
    clickUntil("Image1(2)", kReadyPage);

    clickArea("Image1(0)");
    auto box = FindMessageBox(program->processId(), kSetupCaption);
    ASSERT_TRUE(box.ok()) << box.error().message;
    auto said = MessageText(box.value());
    EXPECT_EQ(said ? said.value() : "(unreadable)", "Do you want to exit from Halvory setup");
    const Status answered = AnswerWithKey(box.value(), VK_RETURN);
    ASSERT_TRUE(answered.ok()) << answered.error().message;

    // A Left typed afterwards arrives behind the Enter's release: that it brings back the folder
    // page shows the wizard was still on the ready page, not installing or past it.
    const Status typed = TypeKey(wizard, VK_LEFT);
    ASSERT_TRUE(typed.ok()) << typed.error().message;
    awaitPage(kChoosePage);
    EXPECT_TRUE(program->running());
    EXPECT_TRUE(FileExists(cabinet()));
    EXPECT_FALSE(FileExists(defaultAppFolder() + "\\Tessary.exe"));
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName").ok());
}

TEST_F(SetupInstallation, InstallsTheProgramsRegistersThemAndRemovesTheCabinet) {
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

    const std::string programs = ProgramsFolder();
    ASSERT_FALSE(programs.empty());
    EXPECT_TRUE(FileExists(programs + "\\Tessary\\Tessary.lnk"));
    EXPECT_TRUE(FileExists(programs + "\\Tessary\\Uninstall Tessary.lnk"));

    // Enter on the last page asks whether to run the skin maker; No ends the setup program.
    ASSERT_TRUE(PressKey(wizard, VK_RETURN).ok());
    EXPECT_EQ(answer("Tessary installation", IDNO), "Do you want to run Tessary");
    EXPECT_TRUE(program->waitForExit().ok());
}

} // namespace
} // namespace tess::e2e
