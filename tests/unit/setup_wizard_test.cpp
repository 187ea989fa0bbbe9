// The setup wizard and its directory chooser, headless: the pages and their button areas, the
// keys with the two ignore flags, the installation from page 3 to page 5, running the skin
// maker, the chooser's drives and folders, and dragging with the window's edges snapping.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "installer/frm_main.h"
#include "installer/frm_path.h"
#include "tests/support/fake_install_services.h"
#include "tests/support/memory_registry.h"
#include "ui/headless/headless_host.h"

namespace tess::testing {
namespace {

constexpr const char* kSetupFolder = "D:\\Downloads";

// Notes every skin maker it is asked to start as the desktop's user, and answers `answer`.
class FakeSkinMakerStarter : public SkinMakerStarter {
public:
    Status StartAsDesktopUser(const std::string& programFile) override {
        started.push_back(programFile);
        return answer;
    }
    std::vector<std::string> started;
    Status answer = Status::Ok();
};

class SetupWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.addDrive('a', "", false);
        files.addDrive('c', "system");
        files.addFolder("C:\\Program Files\\Common Files");
        files.addFolder("C:\\Apps");
        files.addFolder("C:\\Users\\me\\Start Menu\\Programs");
        platform::RegKey key = 0;
        ASSERT_EQ(registry.CreateKey(platform::kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", &key), 0);
        const std::string dir = "C:\\Program Files";
        registry.SetValueEx(key, "ProgramFilesDir", platform::kRegSz, reinterpret_cast<const uint8_t*>(dir.c_str()),
                            static_cast<uint32_t>(dir.size() + 1));
        registry.CloseKey(key);
        files.addFile(std::string(kSetupFolder) + "\\tess10.cab", "cabinet");
        cabinet.entries = {{"Tessary.exe", "MZ skin maker"}, {"remover.exe", "MZ remover"}};
    }

    FrmMain& start(const std::string& commandLine = "") {
        env = std::make_unique<SetupEnv>(SetupEnv{host, registry, system, files, cabinet, links, folders, hasher,
                                                  DigestsOf(cabinet.entries), kSetupFolder, commandLine,
                                                  Picture(), Picture()});
        env->closeRunningCopy = [this] { ++closeRequests; };
        env->skinMaker = &skinMaker;
        env->pauseAfterInstalling = [this] { ++pauses; };
        wizard = std::make_unique<FrmMain>(*env);
        wizard->Form_Initialize();
        host.showOrReport(wizard->form, false);
        return *wizard;
    }
    bool covered(int i) { return wizard->Image1(i).picture() != nullptr; }
    void key(int code, int shift = 0) { ASSERT_TRUE(wizard->form.keyUp(code, shift)); }

    ui::HeadlessHost host{"Halvory Setup"};
    MemoryRegistry registry;
    FakeSystem system;
    MemoryFileSystem files;
    FakeCabinet cabinet{files};
    FakeLinks links;
    FakeProgramFolders folders{files};
    FakeHasher hasher;
    std::unique_ptr<SetupEnv> env;
    std::unique_ptr<FrmMain> wizard;
    FakeSkinMakerStarter skinMaker;
    int closeRequests = 0, pauses = 0;
};

TEST_F(SetupWizardTest, StartsOnTheWelcomePageAtOneHundredTwips) {
    FrmMain& w = start("/s setup.log \"E:\\Source Files\"");
    EXPECT_EQ(closeRequests, 1);
    EXPECT_EQ(w.WizardPage, 1);
    EXPECT_EQ(w.strSrcPath, "E:\\Source Files");
    EXPECT_EQ(w.InstallDir, "C:\\Program Files");
    EXPECT_EQ(w.About.caption(), kWelcomeText);
    EXPECT_TRUE(w.form.topMost());
    EXPECT_DOUBLE_EQ(w.form.rect().left, 100);
    EXPECT_DOUBLE_EQ(w.form.rect().top, 100);
    EXPECT_TRUE(covered(1));
    EXPECT_FALSE(w.Image1(1).acceptsInput());
    EXPECT_TRUE(covered(3));
    EXPECT_FALSE(w.Label3.visible());
    EXPECT_EQ(w.Label2(3).caption(), "");
    EXPECT_FALSE(covered(0));
}

TEST_F(SetupWizardTest, PagesFollowTheButtonsAndKeys) {
    FrmMain& w = start();
    key(37);  // Left on page 1 keeps page 1
    EXPECT_EQ(w.WizardPage, 1);
    ASSERT_TRUE(w.Image1(2).press());
    EXPECT_EQ(w.WizardPage, 2);
    EXPECT_EQ(w.About.caption(), kChooseText);
    EXPECT_EQ(w.Label3.caption(), "C:\\Program Files\\Tessary");
    EXPECT_TRUE(w.Label3.visible());
    EXPECT_EQ(w.Label2(3).caption(), "&Change");
    EXPECT_FALSE(covered(1));
    EXPECT_FALSE(covered(3));
    key('P', ui::kAltKey);
    EXPECT_EQ(w.WizardPage, 1);
    key(39);
    key('N', ui::kAltKey);
    EXPECT_EQ(w.WizardPage, 3);
    EXPECT_EQ(w.About.caption(), kReadyText);
    EXPECT_EQ(w.Label3.caption(), "C:\\Program Files");
    EXPECT_FALSE(w.Label3.visible());
    EXPECT_TRUE(covered(3));
    EXPECT_TRUE(host.asked().empty());
}

TEST_F(SetupWizardTest, ExitQuestionAndTheEnterThatAnswersIt) {
    FrmMain& w = start();
    host.answerNext(ui::kIdNo);
    key(27);
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "Do you want to exit from Halvory setup");
    EXPECT_EQ(host.asked()[0].caption, "Halvory Setup");
    EXPECT_EQ(host.asked()[0].flags, ui::kMbYesNo | ui::kMbDefButton2);
    // The release of the Enter that answered No arrives afterwards and is consumed.
    key(13);
    EXPECT_EQ(w.WizardPage, 1);
    key(13);
    EXPECT_EQ(w.WizardPage, 2);

    // Asked from the Exit area, the close mark or the task bar's close box, the question consumes
    // its Enter too: on the ready page that Enter would start the installation.
    key(13);
    ASSERT_EQ(w.WizardPage, 3);
    const std::vector<std::pair<const char*, std::function<bool()>>> askers = {
        {"Exit area", [&] { return w.Image1(0).press(); }},
        {"close mark", [&] { return w.Buttt_1.click(); }},
        {"close box", [&] { w.form.requestClose(); return true; }},
    };
    for (const auto& [what, ask] : askers) {
        SCOPED_TRACE(what);
        const size_t asked = host.asked().size();
        host.answerNext(ui::kIdNo);
        ASSERT_TRUE(ask());
        EXPECT_EQ(host.asked().size(), asked + 1);
        key(13);
        EXPECT_EQ(w.WizardPage, 3);
    }
    EXPECT_TRUE(files.logged("mkdir").empty());
    EXPECT_TRUE(cabinet.written.empty());
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Buttt_1.click());
    EXPECT_TRUE(host.ended());
}

TEST_F(SetupWizardTest, ChooserSetsTheFolderAndItsClosingKeysAreConsumed) {
    FrmMain& w = start();
    key(13);
    ASSERT_EQ(w.WizardPage, 2);
    FrmPath* chooser = nullptr;
    host.onModalShow = [&](ui::Form&) { chooser = w.chooser(); };
    key('C', ui::kAltKey);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->txtPath.text(), "C:\\Program Files\\Tessary");
    ASSERT_TRUE(chooser->dirDirs.setPath("C:\\").ok());
    EXPECT_EQ(chooser->txtPath.text(), "C:\\Tessary");
    ASSERT_TRUE(chooser->form.pressKey(ui::Form::Key::Enter));
    EXPECT_EQ(w.InstallDir, "C:\\");
    EXPECT_EQ(w.Label3.caption(), "C:\\\\Tessary");
    // The Enter that pressed OK does not move the wizard on; the next one does.
    key(13);
    EXPECT_EQ(w.WizardPage, 2);

    // Cancel: the folder stays, and the Esc that pressed it asks nothing.
    key('C', ui::kAltKey);
    ASSERT_TRUE(chooser->dirDirs.setPath("C:\\Apps").ok());
    ASSERT_TRUE(chooser->form.pressKey(ui::Form::Key::Escape));
    EXPECT_EQ(w.InstallDir, "C:\\");
    key(27);
    EXPECT_TRUE(host.asked().empty());
}

TEST_F(SetupWizardTest, AnUnreadableDriveIsToldAndTheListsGoBack) {
    FrmMain& w = start();
    key(13);
    FrmPath* chooser = nullptr;
    host.onModalShow = [&](ui::Form&) { chooser = w.chooser(); };
    ASSERT_TRUE(w.Image1(3).press());
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(chooser->drvDrives.pick(0));  // a: has no medium
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "Drive is not accessable");
    EXPECT_EQ(host.asked()[0].caption, "Halvory Setup");
    EXPECT_EQ(chooser->drvDrives.drive().substr(0, 2), "c:");
    EXPECT_EQ(chooser->dirDirs.path(), "C:\\Program Files");
}


TEST_F(SetupWizardTest, InstallingRunsFromPageThreeAndFinishesOnPageFive) {
    FrmMain& w = start();
    key(13);
    key(13);
    key(13);
    EXPECT_FALSE(w.Installing);
    EXPECT_EQ(w.WizardPage, 5);
    EXPECT_EQ(pauses, 1);
    EXPECT_EQ(w.AppDir, "C:\\Program Files\\Tessary");
    EXPECT_EQ(files.contents("C:\\Program Files\\Tessary\\Tessary.exe"), "MZ skin maker");
    EXPECT_FALSE(files.FileExists(std::string(kSetupFolder) + "\\tess10.cab"));
    EXPECT_EQ(w.About.caption(), kFinishedText);
    EXPECT_TRUE(covered(0));
    EXPECT_FALSE(w.Image1(0).enabled());
    EXPECT_EQ(w.Label2(1).caption(), "&Run");
    EXPECT_EQ(w.Label2(2).caption(), "&Finish");
    // The two bars of page 4, then the finished page's titles and the green lamp.
    const auto& drawing = w.form.drawing();
    ASSERT_GE(drawing.size(), 6u);
    EXPECT_EQ(drawing[0].kind, ui::DrawOp::Kind::Line);
    EXPECT_EQ(drawing[0].width, 30);
    EXPECT_EQ(drawing[1].color, MakeColorRef(0, 0, 64));
    EXPECT_EQ(drawing.back().kind, ui::DrawOp::Kind::Circle);
    EXPECT_EQ(drawing.back().fill, MakeColorRef(0, 255, 0));
    EXPECT_DOUBLE_EQ(drawing.back().radius, 318);
    // Right does nothing on page 5; Enter asks whether to run the skin maker.
    key(39);
    EXPECT_TRUE(host.asked().empty());
    host.answerNext(ui::kIdYes);
    key(13);
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "Do you want to run Tessary");
    EXPECT_EQ(host.asked()[0].caption, "Tessary installation");
    EXPECT_EQ(skinMaker.started, std::vector<std::string>{"C:\\Program Files\\Tessary\\Tessary.exe"});
    EXPECT_TRUE(host.ended());
}

TEST_F(SetupWizardTest, AProgramThatDidNotArriveIsToldOnTheLastPageWhichOffersNoRun) {
    cabinet.entries.erase("remover.exe");
    FrmMain& w = start();
    for (int i = 0; i < 3; ++i) key(13);
    EXPECT_EQ(w.WizardPage, 5);
    EXPECT_EQ(w.About.caption(), std::string(kNotFinishedText) + "remover.exe could not be installed.\r\n" +
                                     "The setup files were kept; please run setup again.\r\n");
    EXPECT_EQ(w.Label2(1).caption(), "");
    EXPECT_TRUE(covered(1));
    for (const ui::DrawOp& op : w.form.drawing()) {
        EXPECT_NE(op.kind, ui::DrawOp::Kind::Print) << op.text;
        EXPECT_NE(op.kind, ui::DrawOp::Kind::Circle);
    }
    // Run is out of reach; Finish ends without offering to start the program that is not there.
    w.Label2(1).click();
    EXPECT_FALSE(w.Image1(1).press());
    EXPECT_FALSE(host.ended());
    ASSERT_TRUE(w.Image1(2).press());
    EXPECT_TRUE(skinMaker.started.empty());
    EXPECT_TRUE(host.asked().empty());
    EXPECT_TRUE(host.ended());
}

TEST_F(SetupWizardTest, TheRunAreaStartsTheSkinMakerAsTheDesktopUserAndEndsEvenWhenItDoesNotStart) {
    FrmMain& w = start();
    for (int i = 0; i < 3; ++i) key(13);
    ASSERT_EQ(w.WizardPage, 5);
    skinMaker.answer = Error{ErrorCode::CannotOpen, "the desktop's shell refused"};
    ASSERT_TRUE(w.Image1(1).press());
    EXPECT_EQ(skinMaker.started, std::vector<std::string>{"C:\\Program Files\\Tessary\\Tessary.exe"});
    EXPECT_TRUE(host.asked().empty());
    EXPECT_FALSE(w.form.visible());
    EXPECT_TRUE(host.ended());
}

TEST_F(SetupWizardTest, ACaptionClickIsItsAreasClickWhileTheAreaTakesClicks) {
    FrmMain& w = start();
    ASSERT_TRUE(w.Label2(2).click());  // "&Next"
    EXPECT_EQ(w.WizardPage, 2);
    w.Label2(1).click();  // "&Prev"
    EXPECT_EQ(w.WizardPage, 1);
    for (int i = 0; i < 3; ++i) key(13);
    ASSERT_EQ(w.WizardPage, 5);
    // On the last page the Exit area is covered and disabled: its caption asks nothing either.
    ASSERT_FALSE(w.Image1(0).acceptsInput());
    w.Label2(0).click();
    EXPECT_TRUE(host.asked().empty());
    EXPECT_FALSE(host.ended());
}

TEST_F(SetupWizardTest, NoCabinetEndsTheProgramWithItsMessage) {
    ASSERT_TRUE(files.RemoveFile(std::string(kSetupFolder) + "\\tess10.cab").ok());
    FrmMain& w = start();
    for (int i = 0; i < 3; ++i) key(13);
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "Installable Files are not available");
    EXPECT_TRUE(host.ended());
    EXPECT_FALSE(files.FolderExists("C:\\Program Files\\Tessary"));
    (void)w;
}

TEST_F(SetupWizardTest, DraggingTheBackgroundOrTheTextMovesTheWindow) {
    FrmMain& w = start();
    host.setScreenSize(800 * 15, 600 * 15);
    ASSERT_TRUE(w.form.mouseDown(ui::kLeftButton, 0, 1000, 1000));
    ASSERT_TRUE(w.form.mouseMove(ui::kLeftButton, 0, 1600, 1300));
    EXPECT_DOUBLE_EQ(w.form.rect().left, 705);  // 100 + 600 twips, whole pixels
    EXPECT_NEAR(w.form.rect().top, 400, 15);
    // A right-button drag does nothing; near the left edge the window snaps to it.
    ASSERT_TRUE(w.form.mouseMove(ui::kRightButton, 0, 0, 0));
    EXPECT_DOUBLE_EQ(w.form.rect().left, 705);
    ASSERT_TRUE(w.About.mouseDown(ui::kLeftButton, 0, 2000, 100));
    ASSERT_TRUE(w.About.mouseMove(ui::kLeftButton, 0, 2000 - 600, 100));
    EXPECT_DOUBLE_EQ(w.form.rect().left, 0);
    // On a monitor of 144 DPI the window moves in whole pixels of 10 twips.
    w.form.dpiChanged(10);
    ASSERT_TRUE(w.form.mouseDown(ui::kLeftButton, 0, 1000, 1000));
    ASSERT_TRUE(w.form.mouseMove(ui::kLeftButton, 0, 2012, 1000));
    EXPECT_DOUBLE_EQ(w.form.rect().left, 1010);
}

} // namespace
} // namespace tess::testing
