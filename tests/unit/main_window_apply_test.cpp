// The main window's loading, colour, apply, collection and removal, headless: the files written,
// the toolbar value, the questions asked and answered, and the failures reported.
#include "core/bitmap_writer.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"
#include "skinmaker/data_folder.h"
#include "core/stb_image_impl.h"
#include "tests/support/huge_bitmap.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/memory_file_system.h"

namespace tess::testing {

using namespace skinmaker;
namespace {

using ApplyWindowTest = MainWindowTest;

// What the engine writes for the window's current layout at the 96-DPI measure.
std::vector<uint8_t> EngineSkin(platform::FileSystem& files, IeMain& w, const std::string& picturePath) {
    Picture picture = platform::LoadPicture(files, picturePath).value();
    SkinLayout layout;
    layout.mode = w.Option1(1).value() ? LayoutMode::Single
                  : w.Option1(0).value() ? LayoutMode::Tile : LayoutMode::Stretch;
    layout.values = {static_cast<int16_t>(w.SclWidth.value()), static_cast<int16_t>(w.SclHeight.value()),
                     static_cast<int16_t>(w.SclHorizonal.value()),
                     static_cast<int16_t>(w.SclVertical.value())};
    layout.background = w.PicTarget.backColor();
    Surface final(800, 80);
    int resolution = 0;
    while (!w.Option2(resolution).value()) ++resolution;
    ApplyResolution(final, resolution);
    ComposeFinal(layout, {picture, picture.width() * 15.0, picture.height() * 15.0}, final);
    return EncodeBitmap(final);
}

TEST_F(ApplyWindowTest, BrowseLoadsResetsAndFitsThePreviewBox) {
    IeMain& w = start();
    browse(writePicture("wide.bmp", 400, 200));
    EXPECT_EQ(w.txtFile.text(), picturePath("wide.bmp"));
    EXPECT_TRUE(w.Option1(0).value());
    EXPECT_EQ(w.SclWidth.value(), 100);
    EXPECT_DOUBLE_EQ(w.Image2.rect().width, 1605);
    EXPECT_DOUBLE_EQ(w.Image2.rect().height, 847.5);
    EXPECT_TRUE(w.Command4.acceptsInput());
    EXPECT_TRUE(w.Option2(0).acceptsInput());
    // The open dialog was asked for pictures, starting in the program's folder.
    ASSERT_EQ(dialogs.openRecords().size(), 1u);
    EXPECT_EQ(dialogs.openRecords()[0].Flags, 6u);
    EXPECT_EQ(dialogs.openRecords()[0].lpstrFilter,
              std::string("Graphic Files\0*.gif;*.jpg;*.jpeg;*.bmp;*.dib;*.png\0\0", 52));

    browse(writePicture("tall.bmp", 200, 400));
    EXPECT_DOUBLE_EQ(w.Image2.rect().width, 802.5);
    EXPECT_DOUBLE_EQ(w.Image2.rect().height, 1695);
}

TEST_F(ApplyWindowTest, CancelledBrowseChangesNothing) {
    IeMain& w = start();
    const std::string path = writePicture("p.bmp", 30, 20);
    browse(path);
    w.SclWidth.setValue(150);
    dialogs.cancelOpen();
    ASSERT_TRUE(w.Command1.press());
    EXPECT_EQ(w.txtFile.text(), path);
    EXPECT_EQ(w.SclWidth.value(), 150);
    EXPECT_TRUE(w.SourceFile.empty());
}

TEST_F(ApplyWindowTest, TooWideAndUnreadablePicturesLeaveTheEarlierOne) {
    IeMain& w = start();
    const std::string first = writePicture("first.bmp", 1600, 10);  // exactly 24000 twips
    browse(first);
    EXPECT_EQ(w.txtFile.text(), first);
    EXPECT_TRUE(host.asked().empty());
    const auto preview = w.PicTarget.surface().pixels();

    browse(writePicture("wide.bmp", 1601, 10));
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "Picture is too large to load");
    EXPECT_EQ(host.asked()[0].flags, 0);
    EXPECT_EQ(host.asked()[0].caption, "Tessary");
    EXPECT_EQ(w.txtFile.text(), first);
    // A later refresh draws the earlier picture, not the refused one.
    w.SclHorizonal.setValue(0);
    w.cmdReset.press();
    EXPECT_EQ(w.PicTarget.surface().pixels(), preview);

    files.addFile(picturePath("not-a-picture.gif"), "hello");
    w.SclWidth.setValue(120);
    browse(picturePath("not-a-picture.gif"));
    ASSERT_EQ(host.asked().size(), 2u);
    EXPECT_EQ(host.asked()[1].text, "Picture could not be loaded");
    EXPECT_EQ(w.txtFile.text(), first);
    EXPECT_EQ(w.SclWidth.value(), 120);

    browse(writePicture("tall.bmp", 10, 5000));  // only the width is limited
    EXPECT_EQ(host.asked().size(), 2u);

    // Refused from its header: under a budget that its 256 MB of pixels would break, the window
    // still says it is too large, not that it could not be loaded.
    const std::vector<uint8_t> huge = HugeRle8Bitmap();
    files.addFile(picturePath("huge.bmp"), std::string(huge.begin(), huge.end()));
    stb::AllocationScope::SetDefaultBudgetForTesting(1024 * 1024);
    browse(picturePath("huge.bmp"));
    stb::AllocationScope::SetDefaultBudgetForTesting(0);
    ASSERT_EQ(host.asked().size(), 3u);
    EXPECT_EQ(host.asked()[2].text, "Picture is too large to load");
    EXPECT_EQ(w.txtFile.text(), picturePath("tall.bmp"));
}

TEST_F(ApplyWindowTest, ColourChangeAndCancel) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 30, 20));
    ASSERT_TRUE(w.Option1(1).press());
    const ColorRef blue = MakeColorRef(0, 0, 255);
    dialogs.answerColor(blue);
    const int before = redraws.count;
    ASSERT_TRUE(w.Command2.press());
    EXPECT_EQ(w.Picture2.backColor(), blue);
    EXPECT_EQ(w.PicTarget.backColor(), blue);
    EXPECT_GT(redraws.count, before);
    EXPECT_EQ(w.PicTarget.surface().pixelAt(2, 2), ToRgb(blue));

    dialogs.cancelColor();
    const int afterBlue = redraws.count;
    ASSERT_TRUE(w.Command2.press());
    EXPECT_EQ(w.Picture2.backColor(), blue);
    EXPECT_EQ(w.PicTarget.backColor(), blue);
    EXPECT_EQ(redraws.count, afterBlue);
}

TEST_F(ApplyWindowTest, ApplyWritesTheEngineSkinSetsTheValueAndCollects) {
    IeMain& w = start();
    const std::string picture = writePicture("p.bmp", 37, 23);
    browse(picture);
    w.SclHorizonal.setValue(20);
    w.SclVertical.setValue(-30);
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    ASSERT_EQ(host.asked().size(), 2u);
    EXPECT_EQ(host.asked()[0].text,
              "Successfully Created IE Skin. Test IE Skin by opening new Internet Explorer window.");
    EXPECT_EQ(host.asked()[0].flags, 64);
    EXPECT_EQ(host.asked()[1].text, "Do you want to add IE Skin to Skin Collection");
    EXPECT_EQ(host.asked()[1].flags, 36);
    EXPECT_EQ(host.asked()[1].caption, "Confirm");
    EXPECT_EQ(toolbarValue(), w.SkinPath());
    EXPECT_EQ(fileBytes(skinPath()), EngineSkin(files, w, picture));
    EXPECT_EQ(fileBytes(collectionPath(1)), fileBytes(skinPath()));
    EXPECT_EQ(w.CollectionFile, dataFolder() + "\\Collection\\Skin0001.bmp");

    // A later apply rewrites the same collection file without asking.
    host.clearAsked();
    ASSERT_TRUE(w.Option1(2).press());
    ASSERT_TRUE(w.Command4.press());
    EXPECT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(fileBytes(collectionPath(1)), fileBytes(skinPath()));
    EXPECT_FALSE(exists(collectionPath(2)));

    // A new picture is asked about again and takes the next number.
    browse(writePicture("q.bmp", 10, 10));
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    EXPECT_TRUE(exists(collectionPath(2)));
    EXPECT_EQ(host.unanswered(), 0);
}

TEST_F(ApplyWindowTest, ResolutionsDecideTheWidthAndStretchTheHeight) {
    IeMain& w = start();
    const std::string picture = writePicture("p.bmp", 50, 40);
    browse(picture);
    const int widths[] = {640, 720, 800, 1024};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(w.Option2(i).press());
        host.answerNext(ui::kIdNo);
        ASSERT_TRUE(w.Command4.press());
        Picture skin = platform::LoadPicture(files, skinPath()).value();
        EXPECT_EQ(skin.width(), widths[i]);
        EXPECT_EQ(skin.height(), 133);
        EXPECT_EQ(fileBytes(skinPath()), EngineSkin(files, w, picture));
    }
    ASSERT_TRUE(w.Option1(2).press());
    host.answerNext(ui::kIdNo);
    ASSERT_TRUE(w.Command4.press());
    EXPECT_EQ(platform::LoadPicture(files, skinPath()).value().height(), 113);
    // No is asked again at every apply, and the collection stays empty.
    EXPECT_EQ(host.unanswered(), 0);
    EXPECT_FALSE(exists(collectionPath(1)));
}

TEST_F(ApplyWindowTest, CollectionTakesTheLowestFreeNumber) {
    IeMain& w = start();
    for (int n : {1, 2, 4}) files.addFile(collectionPath(n), "x");
    files.addFile(collectionPath(3), "");  // zero bytes: free
    browse(writePicture("p.bmp", 10, 10));
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    EXPECT_EQ(w.CollectionFile, dataFolder() + "\\Collection\\Skin0003.bmp");
    EXPECT_GT(fileBytes(collectionPath(3)).size(), 1u);
    EXPECT_EQ(w.AddToSelection(), dataFolder() + "\\Collection\\Skin0005.bmp");
}

TEST_F(ApplyWindowTest, FullCollectionIsReportedAfterTheSkinWasApplied) {
    IeMain& w = start();
    for (int n = 1; n <= 9999; ++n) files.addFile(collectionPath(n), "x");
    browse(writePicture("p.bmp", 10, 10));
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    ASSERT_EQ(host.asked().size(), 3u);
    EXPECT_EQ(host.asked()[2].text, "Collection is full");
    EXPECT_EQ(host.asked()[2].flags, 0);
    EXPECT_EQ(toolbarValue(), w.SkinPath());
    EXPECT_TRUE(w.CollectionFile.empty());
}

TEST_F(ApplyWindowTest, UnsavedSkinIsReportedAndNothingElseChanges) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 10, 10));
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    const auto firstSkin = fileBytes(skinPath());
    const std::string value = toolbarValue();
    host.clearAsked();
    w.CollectionFile.clear();

    // A skin file another program holds open cannot be replaced.
    files.holdOpen(skinPath());
    w.SclWidth.setValue(300);
    ASSERT_TRUE(w.Command4.press());
    ASSERT_EQ(host.asked().size(), 1u);
    EXPECT_EQ(host.asked()[0].text, "IE Skin could not be saved. The skin in use was left as it was.");
    EXPECT_EQ(fileBytes(skinPath()), firstSkin);
    EXPECT_EQ(toolbarValue(), value);
    EXPECT_FALSE(exists(collectionPath(2)));
}

TEST_F(ApplyWindowTest, UnwritableToolbarValueIsReportedInsteadOfSuccess) {
    IeMain& w = start();
    ASSERT_TRUE(w.Command5.acceptsInput());
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command5.press());  // no skin set: Remove Skin disabled
    browse(writePicture("p.bmp", 10, 10));
    registry.FailValueWrites(platform::kErrorAccessDenied);
    host.answerNext(ui::kIdNo);
    ASSERT_TRUE(w.Command4.press());
    ASSERT_GE(host.asked().size(), 2u);
    EXPECT_EQ(host.asked()[1].text,
              "IE Skin was saved but could not be applied: the toolbar setting could not be written.");
    EXPECT_FALSE(w.Command5.enabled());
    EXPECT_TRUE(exists(skinPath()));
}

TEST_F(ApplyWindowTest, FailedCollectionWriteIsReportedAndAskedAgain) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 10, 10));
    files.addFolder(collectionPath(1));  // in the way of the file
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    ASSERT_EQ(host.asked().size(), 3u);
    EXPECT_EQ(host.asked()[2].text, "IE Skin could not be saved in Skin Collection.");
    EXPECT_TRUE(w.CollectionFile.empty());
    ASSERT_TRUE(files.RemoveTree(collectionPath(1)).empty());
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    EXPECT_EQ(host.asked()[4].text, "Do you want to add IE Skin to Skin Collection");
    EXPECT_TRUE(exists(collectionPath(1)));

    // The remembered file cannot be rewritten once the folder has gone: it is forgotten, and the
    // next "&Apply" asks again and makes the folder anew.
    files.RemoveTree(dataFolder() + "\\Collection");
    ASSERT_TRUE(w.Command4.press());
    EXPECT_EQ(host.asked()[6].text, "IE Skin could not be saved in Skin Collection.");
    EXPECT_TRUE(w.CollectionFile.empty());
    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.Command4.press());
    EXPECT_EQ(host.asked()[8].text, "Do you want to add IE Skin to Skin Collection");
    EXPECT_TRUE(exists(collectionPath(1)));
}

TEST_F(ApplyWindowTest, RemoveSkinAsksThenDeletesTheValueOnly) {
    const std::string skin = writePicture("current.bmp", 20, 20);
    ASSERT_TRUE(SetRegString(registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, skin));
    IeMain& w = start();
    host.answerNext(ui::kIdNo);
    ASSERT_TRUE(w.Command5.press());
    EXPECT_EQ(toolbarValue(), skin);
    EXPECT_TRUE(w.Command5.enabled());
    EXPECT_EQ(host.asked()[0].text, "Do you want to delete IE Skin");
    EXPECT_EQ(host.asked()[0].flags, 36);
    EXPECT_EQ(host.asked()[0].caption, "Confirm");

    host.answerNext(ui::kIdYes);
    ASSERT_TRUE(w.mRemSkin.pick());
    EXPECT_EQ(toolbarValue(), "False");
    EXPECT_FALSE(w.Command5.enabled());
    EXPECT_FALSE(w.mRemSkin.enabled());
    EXPECT_TRUE(exists(skin));
    // No picture was loaded, so the preview is cleared.
    EXPECT_EQ(w.PicTarget.surface().pixelAt(5, 5), ToRgb(MakeColorRef(212, 208, 200)));
}

// The skin and the collection stay beside the program where its user may write there; under a
// folder the user may not write (Program Files for a standard user) they go to the user's own,
// made when missing, and no test file is left behind either way.
TEST(DataFolder, TheProgramFolderWhereWritableElseTheUsersOwn) {
    const std::string program = "C:\\Program Files\\Tessary", local = "C:\\Users\\me\\AppData\\Local";
    MemoryFileSystem files;
    files.addFolder(program);
    files.addFolder(local);
    EXPECT_EQ(ChooseDataFolder(files, program, local), program);
    EXPECT_EQ(files.ListFiles(program, "*").value(), std::vector<std::string>{});
    EXPECT_FALSE(files.FolderExists(local + "\\Tessary"));

    files.refuseWritesIn(program);
    EXPECT_FALSE(CanWriteIn(files, program));
    EXPECT_EQ(ChooseDataFolder(files, program, local), local + "\\Tessary");
    EXPECT_TRUE(files.FolderExists(local + "\\Tessary"));
    // Again, with the folder there already.
    EXPECT_EQ(ChooseDataFolder(files, program, local), local + "\\Tessary");
    // Where the user's folder is unknown there is nowhere else to go.
    EXPECT_EQ(ChooseDataFolder(files, program, ""), program);
}

class HighDpiWindowTest : public MainWindowTest {
protected:
    HighDpiWindowTest() : MainWindowTest(12.0) {}
};

TEST_F(HighDpiWindowTest, PreviewIsSharperAndTheSkinKeepsItsPixelWidth) {
    IeMain& w = start();
    EXPECT_EQ(w.PicTarget.surface().widthPx(), 748);
    EXPECT_DOUBLE_EQ(w.PicTarget.surface().scaleWidth(), 9000);
    const std::string path = writePicture("p.bmp", 40, 30);
    browse(path);
    ASSERT_TRUE(w.Option2(3).press());
    host.answerNext(ui::kIdNo);
    ASSERT_TRUE(w.Command4.press());
    EXPECT_EQ(platform::LoadPicture(files, skinPath()).value().width(), 1024);

    // Moved to a monitor of 96 DPI, the preview is drawn again at that screen's resolution, with
    // the picture still measured as it was loaded.
    w.form.dpiChanged(15);
    Surface expected = MakePreviewSurface(1.0);
    ASSERT_TRUE(expected.setBackColor(w.PicTarget.backColor()).ok());
    PreviewTile(w.layout, {platform::LoadPicture(files, path).value(), 40 * 12.0, 30 * 12.0}, expected);
    EXPECT_EQ(w.PicTarget.surface().widthPx(), 598);
    EXPECT_EQ(w.PicTarget.surface().pixels(), expected.pixels());
}

} // namespace
} // namespace tess::testing
