// The main window's layout behaviour, headless: the start cases of the toolbar value, the
// enabling table per mode, the Lock sequences and their redraws, the saved sets, Reset.
#include "tests/support/main_window_fixture.h"
#include "platform/file_system.h"
#include "platform/picture_files.h"

namespace tess::testing {

using namespace skinmaker;
namespace {

using LayoutWindowTest = MainWindowTest;

// The controls PicRefresh enables or disables per mode.
struct LayoutStates {
    bool moveAndSize, colour, lock;
};

LayoutStates StatesOf(IeMain& w) {
    const bool sizeAndMove = w.Frame1.enabled();
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &w.Frame2, &w.SclHeight, &w.SclWidth, &w.SclHorizonal, &w.SclVertical, &w.Label1(0),
             &w.Label1(1), &w.Label1(2), &w.Label1(3), &w.txtHeight, &w.txtHorizonal, &w.txtWidth,
             &w.txtVertical})
        EXPECT_EQ(c->enabled(), sizeAndMove) << c->name() << c->index();
    EXPECT_EQ(w.Command2.enabled(), w.Picture2.enabled());
    EXPECT_EQ(w.Label3.enabled(), w.Picture2.enabled());
    return {sizeAndMove, w.Picture2.enabled(), w.Check1.enabled()};
}

TEST_F(LayoutWindowTest, StartWithoutToolbarKeyDrawsNothingAndKeepsRemoveEnabled) {
    IeMain& w = start();
    EXPECT_TRUE(w.Command5.enabled());
    EXPECT_TRUE(w.mRemSkin.enabled());
    EXPECT_EQ(redraws.count, 0);
    EXPECT_EQ(w.PicTarget.surface().pixelAt(10, 10), ToRgb(MakeColorRef(212, 208, 200)));
    // Nothing that edits waits for input before a picture is loaded.
    EXPECT_FALSE(w.Command4.acceptsInput());
    EXPECT_FALSE(w.cmdReset.acceptsInput());
    EXPECT_FALSE(w.Option1(1).press());
    EXPECT_FALSE(w.SclWidth.lineBy(1));
    EXPECT_TRUE(w.Command1.acceptsInput());
    EXPECT_TRUE(w.Option1(0).value());
    EXPECT_TRUE(w.Option2(2).value());
    EXPECT_EQ(w.Check1.value(), 1);
}

TEST_F(LayoutWindowTest, StartWithKeyButNoValueDisablesRemove) {
    uint32_t key = 0;
    ASSERT_EQ(registry.CreateKey(platform::kHKeyCurrentUser, kToolbarKey, &key), 0);
    registry.CloseKey(key);
    IeMain& w = start();
    EXPECT_FALSE(w.Command5.enabled());
    EXPECT_FALSE(w.mRemSkin.enabled());
    EXPECT_FALSE(w.mRemSkin.pick());
}

TEST_F(LayoutWindowTest, StartWithCurrentSkinShowsItTiledWithControlsDisabled) {
    const std::string skin = writePicture("current.bmp", 40, 20);
    ASSERT_TRUE(SetRegString(registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, skin));
    IeMain& w = start();
    EXPECT_TRUE(w.Command5.enabled());
    EXPECT_TRUE(w.txtFile.text().empty());
    EXPECT_FALSE(w.Frame1.enabled());
    EXPECT_FALSE(w.Check1.enabled());
    EXPECT_EQ(redraws.count, 1);
    EXPECT_TRUE(w.layout.StartSkin.empty());

    // The same tiles the engine draws for the picture at 100 %, on the button-face colour.
    SkinLayout layout;
    Surface expected = MakePreviewSurface();
    ASSERT_TRUE(expected.setBackColor(MakeColorRef(212, 208, 200)).ok());
    Picture picture = platform::LoadPicture(files, skin).value();
    PreviewTile(layout, {picture, 40 * 15.0, 20 * 15.0}, expected);
    EXPECT_EQ(w.PicTarget.surface().pixels(), expected.pixels());
}

TEST_F(LayoutWindowTest, StartWithDeletedSkinDrawsNothingThenBrowseEnablesAsUsual) {
    ASSERT_TRUE(SetRegString(registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue,
                             picturePath("gone.bmp")));
    IeMain& w = start();
    EXPECT_EQ(redraws.count, 0);
    EXPECT_TRUE(w.Command5.enabled());
    browse(writePicture("p.bmp", 30, 30));
    LayoutStates s = StatesOf(w);
    EXPECT_TRUE(s.moveAndSize);
    EXPECT_FALSE(s.colour);
    EXPECT_TRUE(s.lock);
}

TEST_F(LayoutWindowTest, EnablingTableFollowsTheMode) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 30, 20));
    ASSERT_TRUE(w.Option1(1).press());
    LayoutStates single = StatesOf(w);
    EXPECT_TRUE(single.moveAndSize && single.colour && single.lock);
    ASSERT_TRUE(w.Option1(2).press());
    LayoutStates stretch = StatesOf(w);
    EXPECT_FALSE(stretch.moveAndSize || stretch.colour || stretch.lock);
    EXPECT_FALSE(w.SclWidth.lineBy(1));
    ASSERT_TRUE(w.Option1(0).press());
    LayoutStates tile = StatesOf(w);
    EXPECT_TRUE(tile.moveAndSize && tile.lock);
    EXPECT_FALSE(tile.colour);
}

TEST_F(LayoutWindowTest, LockCopiesTheSizeToThePartnerWithOneRedraw) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 30, 20));
    const int before = redraws.count;
    ASSERT_TRUE(w.SclWidth.dragTo(150));
    EXPECT_EQ(w.txtWidth.text(), "150%");
    EXPECT_EQ(redraws.count, before);  // dragging only shows the value
    ASSERT_TRUE(w.SclWidth.release());
    EXPECT_EQ(w.SclHeight.value(), 150);
    EXPECT_EQ(w.txtHeight.text(), "150%");
    EXPECT_EQ(w.txtWidth.text(), "150%");
    EXPECT_EQ(redraws.count, before + 1);
    EXPECT_FALSE(w.layout.SizeLocking);
    EXPECT_EQ(w.layout.tile.height, 150);

    // Without Lock only the moved bar changes.
    ASSERT_TRUE(w.Check1.press());
    ASSERT_TRUE(w.SclHeight.pageBy(1));
    EXPECT_EQ(w.SclHeight.value(), 155);
    EXPECT_EQ(w.SclWidth.value(), 150);
    EXPECT_EQ(redraws.count, before + 2);
}

TEST_F(LayoutWindowTest, LockWithPartnerAlreadyEqualStoresRedrawsAndClearsTheMarker) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 30, 20));
    ASSERT_TRUE(w.Check1.press());  // Lock off
    w.SclWidth.setValue(150);
    ASSERT_TRUE(w.Check1.press());  // Lock on, width 150, height 100
    const int before = redraws.count;
    w.SclHeight.setValue(150);      // the partner already holds 150
    EXPECT_FALSE(w.layout.SizeLocking);
    EXPECT_EQ(w.layout.tile.height, 150);
    EXPECT_EQ(redraws.count, before + 1);
    // The next change copies as usual.
    w.SclHeight.setValue(200);
    EXPECT_EQ(w.SclWidth.value(), 200);
}

TEST_F(LayoutWindowTest, EachModeKeepsItsOwnValues) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 30, 20));
    w.SclWidth.setValue(120);
    w.SclHorizonal.setValue(-35);
    EXPECT_EQ(w.txtHorizonal.text(), "-35%");
    ASSERT_TRUE(w.Option1(1).press());
    EXPECT_EQ(w.SclWidth.value(), 100);
    EXPECT_EQ(w.SclHorizonal.value(), 0);
    w.SclVertical.setValue(40);
    ASSERT_TRUE(w.Option1(2).press());  // Stretch keeps no values of its own
    ASSERT_TRUE(w.Option1(0).press());
    EXPECT_EQ(w.SclWidth.value(), 120);
    EXPECT_EQ(w.SclHeight.value(), 120);
    EXPECT_EQ(w.SclHorizonal.value(), -35);
    EXPECT_EQ(w.SclVertical.value(), 0);
    ASSERT_TRUE(w.Option1(1).press());
    EXPECT_EQ(w.SclVertical.value(), 40);
    EXPECT_EQ(w.txtVertical.text(), "40%");
}

TEST_F(LayoutWindowTest, SwitchingUnderLockMakesTheSavedWidthFollowTheSavedHeight) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 30, 20));
    ASSERT_TRUE(w.Option1(1).press());
    ASSERT_TRUE(w.Check1.press());
    w.SclHeight.setValue(60);  // Single: width 100, height 60
    ASSERT_TRUE(w.Check1.press());
    ASSERT_TRUE(w.Option1(0).press());
    ASSERT_TRUE(w.Option1(1).press());
    EXPECT_EQ(w.SclHeight.value(), 60);
    EXPECT_EQ(w.SclWidth.value(), 60);
    EXPECT_EQ(w.layout.single.width, 60);
}

TEST_F(LayoutWindowTest, ResetRestoresDefaultsKeepsModeAndRedrawsOnce) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 30, 20));
    ASSERT_TRUE(w.Option1(1).press());
    w.SclWidth.setValue(300);
    w.SclVertical.setValue(-20);
    w.Option2(3).setValue(true);
    const int before = redraws.count;
    ASSERT_TRUE(w.cmdReset.press());
    EXPECT_EQ(redraws.count, before + 1);
    EXPECT_TRUE(w.Option1(1).value());
    EXPECT_TRUE(w.Option2(3).value());
    for (auto* t : {&w.txtWidth, &w.txtHeight}) EXPECT_EQ(t->text(), "100%");
    for (auto* t : {&w.txtHorizonal, &w.txtVertical}) EXPECT_EQ(t->text(), "0%");
    EXPECT_EQ(w.layout.single.width, 100);
    EXPECT_EQ(w.layout.tile.vertical, 0);
}

TEST_F(LayoutWindowTest, OffsetsMoveTilesUpAndTheSingleCopyDown) {
    IeMain& w = start();
    browse(writePicture("p.bmp", 40, 20));
    w.SclVertical.setValue(50);
    EXPECT_DOUBLE_EQ(w.layout.ImgY, -w.layout.ImgHeight / 2);
    ASSERT_TRUE(w.Option1(1).press());
    w.SclVertical.setValue(50);
    // The single copy's top lies below the centred one.
    EXPECT_GT(w.layout.ImgY, 0);
    EXPECT_EQ(w.layout.tile.vertical, 50);
    EXPECT_EQ(w.layout.single.vertical, 50);
}

TEST_F(LayoutWindowTest, EscPressesClose) {
    IeMain& w = start();
    EXPECT_TRUE(w.form.pressKey(ui::Form::Key::Escape));
    EXPECT_TRUE(host.ended());
}

TEST_F(LayoutWindowTest, SecondCopyEndsBeforeAWindow) {
    start();
    env->anotherCopyRunning = [] { return true; };
    EXPECT_FALSE(window->Form_Initialize());
    env->anotherCopyRunning = [] { return false; };
    EXPECT_TRUE(window->Form_Initialize());
}

} // namespace
} // namespace tess::testing
