// The collection window, the web links and the About box, headless: listing, applying, deleting
// with its questions, editing through the shell, the main window's part, and the failures told.
#include "platform/file_system.h"
#include "skinmaker/frm_about.h"
#include "skinmaker/frm_collection.h"
#include "skinmaker/web_links.h"
#include "tests/support/main_window_fixture.h"

namespace tess::testing {

using namespace skinmaker;
namespace {

class CollectionWindowTest : public MainWindowTest {
protected:
    // Keeps a skin in the collection under `name`.
    std::string keep(const std::string& name, int size = 12) {
        files.addFolder(dataFolder() + "\\Collection");
        return writePictureAt(dataFolder() + "\\Collection\\" + name, size, size);
    }
    FrmCollection& open() {
        EXPECT_TRUE(window->mViewColl.pick());
        return *window->collection();
    }
};

TEST_F(CollectionWindowTest, EmptyCollectionOffersNothingButEdit) {
    start();
    FrmCollection& c = open();
    EXPECT_FALSE(window->form.visible());
    EXPECT_TRUE(c.form.visible());
    EXPECT_EQ(c.File1.listCount(), 0);
    EXPECT_FALSE(c.Command4.acceptsInput());
    EXPECT_FALSE(c.Command1.acceptsInput());
    EXPECT_EQ(c.Image1.picture(), nullptr);
    ASSERT_TRUE(c.Command2.press());
    EXPECT_TRUE(shell.executed.empty());
    EXPECT_TRUE(host.asked().empty());
    // Closing brings the main window back.
    ASSERT_TRUE(c.form.pressKey(ui::Form::Key::Escape));
    EXPECT_FALSE(c.form.visible());
    EXPECT_TRUE(window->form.visible());
}

TEST_F(CollectionWindowTest, ListsBitmapsByNameAndShowsTheFirst) {
    start();
    keep("Skin0002.bmp", 9);
    keep("Skin0001.bmp", 10);
    keep("other.BMP", 11);
    files.addFile(dataFolder() + "\\Collection\\notes.txt");
    FrmCollection& c = open();
    EXPECT_EQ(c.File1.entries(), (std::vector<std::string>{"other.BMP", "Skin0001.bmp", "Skin0002.bmp"}));
    EXPECT_EQ(c.File1.listIndex(), 0);
    ASSERT_NE(c.Image1.picture(), nullptr);
    EXPECT_EQ(c.Image1.picture()->width(), 11);
    EXPECT_TRUE(c.Command4.acceptsInput());
    ASSERT_TRUE(c.File1.click(2));
    EXPECT_EQ(c.Image1.picture()->width(), 9);
}

TEST_F(CollectionWindowTest, ApplyNamesTheFileAndTheMainWindowStartsFromIt) {
    start();
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(window->Command5.press());  // no skin set
    const std::string first = keep("Skin0001.bmp");
    const std::string second = keep("Skin0002.bmp");
    FrmCollection& c = open();
    const int before = redraws.count;
    ASSERT_TRUE(c.File1.click(1));
    ASSERT_TRUE(c.Command4.press());
    EXPECT_EQ(toolbarValue(), second);
    EXPECT_EQ(env->CurrentSkin, second);
    ASSERT_EQ(host.asked().back().text, "IE Skin is successfully updated");
    EXPECT_EQ(host.asked().back().flags, 0);
    EXPECT_EQ(host.asked().back().caption, "Tessary");
    EXPECT_TRUE(window->Command5.enabled());
    EXPECT_TRUE(window->mRemSkin.enabled());
    // No picture was loaded in the main window: it started again from the applied skin.
    EXPECT_EQ(redraws.count, before + 1);
    EXPECT_FALSE(window->Frame1.enabled());

    // A double click applies as the button does, message included.
    host.clearAsked();
    ASSERT_TRUE(c.File1.doubleClick(0));
    EXPECT_EQ(toolbarValue(), first);
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "IE Skin is successfully updated");
}

TEST_F(CollectionWindowTest, ApplyWithAPictureLoadedLeavesTheMainWindowAlone) {
    start();
    browse(writePicture("p.bmp", 20, 20));
    keep("Skin0001.bmp");
    FrmCollection& c = open();
    const int before = redraws.count;
    ASSERT_TRUE(c.Command4.press());
    EXPECT_EQ(redraws.count, before);
    EXPECT_TRUE(window->Frame1.enabled());
}

TEST_F(CollectionWindowTest, UnwritableValueIsReportedAndNothingIsClaimed) {
    start();
    keep("Skin0001.bmp");
    FrmCollection& c = open();
    const std::string known = env->CurrentSkin;
    registry.FailValueWrites(platform::kErrorAccessDenied);
    ASSERT_TRUE(c.Command4.press());
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "IE Skin could not be applied: the toolbar setting could not be written.");
    EXPECT_EQ(env->CurrentSkin, known);
}

TEST_F(CollectionWindowTest, DeletingAskedOnlyForTheCurrentSkin) {
    start();
    const std::string a = keep("Skin0001.bmp");
    const std::string b = keep("Skin0002.bmp");
    const std::string c3 = keep("Skin0003.bmp");
    ASSERT_TRUE(SetRegString(registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, b));
    FrmCollection& c = open();

    // Not the current skin: deleted without a question, the first entry shown again.
    ASSERT_TRUE(c.Command1.press());
    EXPECT_TRUE(host.asked().empty());
    EXPECT_FALSE(exists(a));
    EXPECT_EQ(c.File1.entries(), (std::vector<std::string>{"Skin0002.bmp", "Skin0003.bmp"}));
    EXPECT_EQ(c.File1.listIndex(), 0);

    // The current skin: No at the first question keeps everything.
    host.answerNext(ui::kIdNo);
    ASSERT_TRUE(c.Command1.press());
    EXPECT_TRUE(exists(b));
    EXPECT_EQ(host.asked()[0].text,
              "This file is currently enabled as default skin for IE. Do you want to delete it?");
    EXPECT_EQ(host.asked()[0].flags, 36);

    // Yes, then No to the main window's question: only the file goes.
    host.answerNext(ui::kIdYes);
    host.answerNext(ui::kIdNo);
    ASSERT_TRUE(c.Command1.press());
    EXPECT_FALSE(exists(b));
    EXPECT_EQ(toolbarValue(), b);
    EXPECT_EQ(host.asked()[2].text, "Do you want to delete IE Skin");

    // Yes and Yes: the file and the value go, and "Re&move Skin" is disabled.
    env->CurrentSkin = c3;
    host.answerNext(ui::kIdYes);
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(c.Command1.press());
    EXPECT_FALSE(exists(c3));
    EXPECT_EQ(toolbarValue(), "False");
    EXPECT_FALSE(window->Command5.enabled());
    // The last file is gone: nothing to show, apply or delete.
    EXPECT_EQ(c.File1.listCount(), 0);
    EXPECT_EQ(c.Image1.picture(), nullptr);
    EXPECT_FALSE(c.Command1.enabled());
    EXPECT_FALSE(c.Command4.enabled());
    EXPECT_EQ(host.unanswered(), 0);
}

TEST_F(CollectionWindowTest, OnlyAFileThatStaysIsReportedAndTheListFollowsTheDisk) {
    start();
    const std::string a = keep("Skin0001.bmp");
    const std::string b = keep("Skin0002.bmp");
    FrmCollection& c = open();
    ASSERT_TRUE(files.RemoveFile(a).ok());  // gone behind the window's back
    keep("Skin0003.bmp");
    ASSERT_TRUE(c.Command1.press());
    EXPECT_TRUE(host.asked().empty());
    EXPECT_EQ(c.File1.entries(), (std::vector<std::string>{"Skin0002.bmp", "Skin0003.bmp"}));

    // Something that no deletion of a file takes stays under the name.
    ASSERT_TRUE(files.RemoveFile(b).ok());
    files.addFolder(b);
    ASSERT_TRUE(c.Command1.press());
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "The skin could not be deleted.");
    EXPECT_EQ(c.File1.entries(), (std::vector<std::string>{"Skin0003.bmp"}));
}

TEST_F(CollectionWindowTest, EditHandsTheFileToTheShellAndReportsItsFailures) {
    start();
    const std::string a = keep("Skin0001.bmp");
    FrmCollection& c = open();
    ASSERT_TRUE(c.Command2.press());
    ASSERT_EQ(shell.executed.size(), 1u);
    const auto& call = shell.executed[0];
    EXPECT_EQ(call.owner, host.windowHandle(c.form));
    EXPECT_EQ(call.verb, "Open");
    EXPECT_EQ(call.file, a);
    EXPECT_EQ(call.parameters, "");
    EXPECT_EQ(call.directory, dataFolder() + "\\Collection\\");
    EXPECT_EQ(call.show, 1);
    EXPECT_EQ(c.form.caption(), a);
    EXPECT_TRUE(host.asked().empty());

    shell.executeResult = 31;
    ASSERT_TRUE(c.Command2.press());
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "No association for file extension");
    EXPECT_EQ(host.asked()[0].flags, 0);
}

TEST(ShellErrorTextTest, KnownCodesAndTheRest) {
    EXPECT_EQ(ShellErrorText(2), "File not found");
    EXPECT_EQ(ShellErrorText(11), "Invalid EXE file or error in EXE image");
    EXPECT_EQ(ShellErrorText(32), "DLL not found");
    for (int code : {0, 1, 4, 6, 12, 25, -3}) EXPECT_EQ(ShellErrorText(code), "Unknown error") << code;
}

TEST_F(CollectionWindowTest, OpenLinkFindsTheBrowserThroughATemporaryPage) {
    start();
    const std::string page = dataFolder() + "\\Test.htm";
    files.addFile(page, "an older page of the same name");
    std::string seen;
    shell.onFind = [&](const std::string&) { seen = files.contents(page).value_or(""); };
    ASSERT_TRUE(window->mProb.pick());
    EXPECT_EQ(seen, "<HTML> <\\HTML>\r\n");
    ASSERT_EQ(shell.found.size(), 1u);
    EXPECT_EQ(shell.found[0], dataFolder() + "\\Test.htm");
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].file, shell.browser);
    EXPECT_EQ(shell.executed[0].parameters, kFeedbackPage);
    EXPECT_FALSE(exists(page));

    window->OpenLink("http://www.tessary.example/", false);
    EXPECT_EQ(shell.executed[1].file, "http://www.tessary.example/");
    EXPECT_EQ(shell.executed[1].parameters, "");
    EXPECT_TRUE(host.asked().empty());
}

TEST_F(CollectionWindowTest, OpenLinkFailuresAreToldAndThePageIsGone) {
    start();
    shell.findResult = 31;
    window->OpenLink("http://www.tessary.example/", true);
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "Could not open your browser!");
    EXPECT_EQ(host.asked()[0].caption, "Browser Not Found...");
    EXPECT_EQ(host.asked()[0].flags, 48);
    EXPECT_TRUE(shell.executed.empty());
    EXPECT_FALSE(exists(dataFolder() + "\\Test.htm"));

    shell.findResult = 42;
    shell.executeResult = 2;
    window->OpenLink("http://www.tessary.example/", true);
    EXPECT_EQ(host.asked()[1].text, "Web page fialed to be opened.");
    EXPECT_EQ(host.asked()[1].caption, "Website URL Failed...");
    EXPECT_FALSE(exists(dataFolder() + "\\Test.htm"));
}

TEST_F(CollectionWindowTest, OpenLinkWithoutAWritablePageOpensTheAddressDirectly) {
    start();
    files.addFolder(dataFolder() + "\\Test.htm");  // in the way of the page
    window->OpenLink("http://www.tessary.example/", true);
    EXPECT_TRUE(shell.found.empty());
    ASSERT_EQ(shell.executed.size(), 1u);
    EXPECT_EQ(shell.executed[0].file, "http://www.tessary.example/");
    EXPECT_TRUE(host.asked().empty());
    EXPECT_FALSE(host.ended());
}

TEST_F(CollectionWindowTest, AboutIsModalAndClosesWithOkOrEsc) {
    start();
    int shown = 0;
    host.onModalShow = [&](ui::Form& about) {
        ++shown;
        EXPECT_EQ(about.caption(), "About");
        auto& box = static_cast<ui::Form&>(about);
        EXPECT_TRUE(shown == 1 ? box.pressKey(ui::Form::Key::Enter) : box.pressKey(ui::Form::Key::Escape));
        EXPECT_FALSE(about.visible());
    };
    ASSERT_TRUE(window->mAbout.pick());
    ASSERT_TRUE(window->mAbout.pick());
    EXPECT_EQ(shown, 2);
    ASSERT_EQ(host.shown().size(), 3u);
    EXPECT_TRUE(host.shown()[1].second);
}

} // namespace
} // namespace tess::testing
