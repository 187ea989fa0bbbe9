// The main window's logic: its controls with their design values, the start, the layout
// handlers and the preview, picture loading, the colour, applying, collecting and removing.
#include "skinmaker/ie_main.h"

#include <cstdio>
#include <utility>

#include "core/error_rules.h"
#include "platform/picture_files.h"
#include "core/collection_naming.h"
#include "core/number_rules.h"
#include "skinmaker/c_new_dialog.h"
#include "skinmaker/frm_about.h"
#include "skinmaker/frm_collection.h"
#include "skinmaker/web_links.h"
#include "skinmaker/m_pic.h"

namespace tess::skinmaker {

using ui::TwipsRect;

namespace {

constexpr ColorRef kWhite = MakeColorRef(255, 255, 255);
constexpr ui::Label::Align kCentre = ui::Label::Align::Center;

constexpr const char* kSuccessMessage =
    "Successfully Created IE Skin. Test IE Skin by opening new Internet Explorer window.";
constexpr const char* kNotSavedMessage =
    "IE Skin could not be saved. The skin in use was left as it was.";
constexpr const char* kNotAppliedMessage =
    "IE Skin was saved but could not be applied: the toolbar setting could not be written.";
constexpr const char* kNotCollectedMessage = "IE Skin could not be saved in Skin Collection.";
constexpr const char* kNotLoadedMessage = "Picture could not be loaded";

// The resolution buttons' places in their frame and captions, by resolution index.
struct OptionDesign {
    TwipsRect rect;
    const char* caption;
};
constexpr OptionDesign kResolutionOptions[] = {
    {{240, 270, 1185, 225}, "&640 By 480"},
    {{1830, 270, 1305, 225}, "&720 By 576"},
    {{240, 570, 1185, 225}, "&800 By 600"},
    {{1830, 570, 1395, 225}, "&1024 By 768"},
};
static_assert(std::size(kResolutionOptions) == kResolutionCount);

// The buttons are made in place, one for each entry of the table: controls neither copy nor move.
template <size_t... I>
std::array<ui::OptionButton, sizeof...(I)> MakeResolutionOptions(ui::Frame* frame,
                                                                 std::index_sequence<I...>) {
    return {ui::OptionButton(frame, "Option2", kResolutionOptions[I].rect,
                             kResolutionOptions[I].caption, static_cast<int>(I))...};
}

} // namespace

std::string PercentText(int value) { return std::to_string(value) + "%"; }

IeMain::IeMain(SkinMakerEnv& env)
    : form("ieMain", {0, 0, 9270, 4350}, product::kSkinMakerCaption, ui::Form::Border::FixedSingle),
      Picture1(&form, "Picture1", {150, 135, 9000, 1035}, kWhite),
      PicTarget(&Picture1, "PicTarget", {0, 0, 9000, 1035}, env.buttonFace),
      Image1(&PicTarget, "Image1", {0, 0, 9000, 1035}, true),
      Frame1(&form, "Frame1", {150, 1260, 1665, 2925}, "Move"),
      Label1_0(&Frame1, "Label1", {90, 240, 705, 255}, "Horizontal", kCentre, 0),
      Label1_1(&Frame1, "Label1", {945, 240, 525, 255}, "Vertical", kCentre, 1),
      SclHorizonal(&Frame1, "SclHorizonal", {270, 540, 285, 1935}, kMinOffset, kMaxOffset, 1, 5, 0),
      SclVertical(&Frame1, "SclVertical", {1080, 540, 285, 1935}, kMinOffset, kMaxOffset, 1, 5, 0),
      txtHorizonal(&Frame1, "txtHorizonal", {165, 2550, 495, 285}, "0%"),
      txtVertical(&Frame1, "txtVertical", {960, 2550, 495, 285}, "0%"),
      Frame2(&form, "Frame2", {1920, 1260, 1665, 2925}, "Size"),
      Check1(&Frame2, "Check1", {720, 0, 675, 195}, "&Lock", 1),
      Label1_3(&Frame2, "Label1", {90, 240, 705, 255}, "Width", kCentre, 3),
      Label1_2(&Frame2, "Label1", {945, 240, 525, 255}, "Height", kCentre, 2),
      SclWidth(&Frame2, "SclWidth", {270, 540, 285, 1935}, kMinSize, kMaxSize, 1, 5, 100),
      SclHeight(&Frame2, "SclHeight", {1080, 540, 285, 1935}, kMinSize, kMaxSize, 1, 5, 100),
      txtWidth(&Frame2, "txtWidth", {165, 2550, 495, 285}, "100%"),
      txtHeight(&Frame2, "txtHeight", {960, 2550, 495, 285}, "100%"),
      Label2(&form, "Label2", {3780, 1380, 645, 255}, "Filename"),
      txtFile(&form, "txtFile", {4530, 1320, 3495, 315}),
      Command1(&form, "Command1", {8130, 1320, 1035, 315}, "&Browse"),
      Frame3(&form, "Frame3", {3780, 1740, 3495, 1035}, "Picture Display"),
      Option1_0(&Frame3, "Option1", {210, 270, 885, 195}, "&Tile", 0),
      Option1_1(&Frame3, "Option1", {1230, 270, 885, 195}, "&Single", 1),
      Option1_2(&Frame3, "Option1", {2340, 270, 885, 195}, "Str&etch", 2),
      Picture2(&Frame3, "Picture2", {180, 570, 345, 315}, kWhite),
      Label3(&Frame3, "Label3", {630, 630, 1815, 255}, "Bac&kground Colour"),
      Command2(&Frame3, "Command2", {2160, 570, 855, 315}, "C&hange"),
      Frame5(&form, "Frame5", {3780, 2850, 3495, 885}, "Resolution"),
      resolutionOptions(MakeResolutionOptions(&Frame5, std::make_index_sequence<kResolutionCount>())),
      Frame4(&form, "Frame4", {7380, 1740, 1785, 1995}, "Picture Preview"),
      Image2(&Frame4, "Image2", {90, 210, 1605, 1695}, true),
      cmdReset(&form, "cmdReset", {3780, 3840, 1065, 375}, "&Reset"),
      Command5(&form, "Command5", {5010, 3840, 1215, 375}, "Re&move Skin"),
      Command4(&form, "Command4", {6990, 3840, 1065, 375}, "&Apply"),
      Command3(&form, "Command3", {8100, 3840, 1065, 375}, "&Close"),
      picSource(&form, "picSource", {-15000, 4500, 12060, 9060}, kWhite),
      picFinal(&form, "picFinal", {-15000, 4380, 12000, 1200}, kWhite),
      file("file", "&File"), mNew("mNew", "&New"), mRemSkin("mRemSkin", "&Remove SKin"),
      mSep("mSep", "-"), mViewColl("mViewColl", "&View Collection"), mHelp("mHelp", "&Help"),
      mProb("mProb", "&Send Problem"), Sep23("Sep23", "-"), mAbout("mAbout", "&About"),
      env_(env), option1_{&Option1_0, &Option1_1, &Option1_2},
      label1_{&Label1_0, &Label1_1, &Label1_2, &Label1_3} {
    HandlerErrors<OnError::Resume> on;
    form.setCentred(true);
    form.setIcon(kProgramIconResource);

    // Design states: everything that edits the layout waits for a picture.
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &Frame1, &Label1_0, &Label1_1, &SclHorizonal, &SclVertical, &txtHorizonal,
             &txtVertical, &Frame2, &Check1, &Label1_3, &Label1_2, &SclWidth, &SclHeight,
             &txtWidth, &txtHeight, &Frame3, &Option1_0, &Option1_1, &Option1_2, &Label3,
             &Command2, &Frame5, &Frame4, &cmdReset, &Command4})
        c->setEnabled(false);
    for (ui::OptionButton& o : resolutionOptions) o.setEnabled(false);
    Option1_0.setValue(true);
    resolutionOptions[kDefaultResolution].setValue(true);
    Command3.setCancel(true);
    picSource.setVisible(false);
    picFinal.setVisible(false);
    picSource.setAutoSize(true);

    // The preview is drawn at the screen's own resolution with the 96-DPI units of the layout.
    const double pixelScale = kTwipsPerPixel96 / env_.host.twipsPerPixelX();
    PicTarget.setBorder(true);
    PicTarget.setSurface(MakePreviewSurface(pixelScale));
    Image1.setPicture(std::make_shared<Picture>(env_.toolbar), env_.host.twipsPerPixelX());
    picFinal.setSurface(Surface(0, 0, env_.host.twipsPerPixelX()));
    on.step(picFinal.surface().setWidthTwips(picFinal.rect().width));
    on.step(picFinal.surface().setHeightTwips(picFinal.rect().height));

    file.add(mNew);
    file.add(mRemSkin);
    file.add(mSep);
    file.add(mViewColl);
    mHelp.add(mProb);
    mHelp.add(Sep23);
    mHelp.add(mAbout);
    form.addMenu(file);
    form.addMenu(mHelp);

    form.onUnload = [this] { Form_Unload(); };
    form.onDpiChanged = [this](double twipsPerPixel) { Form_DpiChanged(twipsPerPixel); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
    Command4.onClick = [this] { Command4_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    cmdReset.onClick = [this] { cmdReset_Click(); };
    for (int i = 0; i < 3; ++i)
        option1_[i]->onClick = [this, i] { Option1_Click(i); };
    for (int i = 0; i < kResolutionCount; ++i)
        resolutionOptions[i].onClick = [this, i] { Option2_Click(i); };
    SclWidth.onChange = [this] { SclWidth_Change(); };
    SclHeight.onChange = [this] { SclHeight_Change(); };
    SclHorizonal.onChange = [this] { SclHorizonal_Change(); };
    SclVertical.onChange = [this] { SclVertical_Change(); };
    SclWidth.onScroll = [this] { SclWidth_Scroll(); };
    SclHeight.onScroll = [this] { SclHeight_Scroll(); };
    SclHorizonal.onScroll = [this] { SclHorizonal_Scroll(); };
    SclVertical.onScroll = [this] { SclVertical_Scroll(); };
    mNew.onClick = [this] { mNew_Click(); };
    mRemSkin.onClick = [this] { mRemSkin_Click(); };
    mViewColl.onClick = [this] { mViewColl_Click(); };
    mProb.onClick = [this] { mProb_Click(); };
    mAbout.onClick = [this] { mAbout_Click(); };
}

IeMain::~IeMain() = default;

// --- Start and end ---

bool IeMain::Form_Initialize() { return !(env_.anotherCopyRunning && env_.anotherCopyRunning()); }

void IeMain::Form_Load() {
    HandlerErrors<OnError::Resume> on;
    on.step(env_.files.CreateFolder(CollectionFolder(env_.dataFolder)));
    layout.StartLoading = true;
    layout.RefreshLocked = true;
    ResetValues();
    layout.RefreshLocked = false;

    layout.StartSkin = GetRegString(env_.registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue);
    if (layout.StartSkin == "False")
        setRemoveSkinEnabled(false);
    else if (platform::HasContent(env_.files, layout.StartSkin))
        loadStartSkin();
    layout.StartLoading = false;
}

// Shows the skin the browser uses now; a file that does not load leaves the source box empty.
void IeMain::loadStartSkin() {
    if (auto picture = platform::LoadPicture(env_.files, layout.StartSkin)) {
        sourcePicture_ = std::make_shared<Picture>(std::move(picture).value());
        picSource.setPicture(sourcePicture_, env_.host.twipsPerPixelX());
    }
    PicRefresh();
    setRemoveSkinEnabled(true);
}

void IeMain::Form_Unload() { env_.host.endProgram(); }

void IeMain::Form_DpiChanged(double twipsPerPixel) {
    PicTarget.setSurface(MakePreviewSurface(kTwipsPerPixel96 / twipsPerPixel));
    if (previewShown_) drawPreview();
}

void IeMain::Command3_Click() { env_.host.endProgram(); }

void IeMain::skinAppliedFromCollection() {
    if (!Frame3.enabled()) Form_Load();
    setRemoveSkinEnabled(true);
}

void IeMain::setRemoveSkinEnabled(bool on) {
    Command5.setEnabled(on);
    mRemSkin.setEnabled(on);
}

// --- Layout ---

LayoutMode IeMain::mode() const {
    if (Option1_1.value()) return LayoutMode::Single;
    if (Option1_0.value()) return LayoutMode::Tile;
    return LayoutMode::Stretch;
}

void IeMain::syncLayout() {
    layout.mode = mode();
    layout.values = {static_cast<int16_t>(SclWidth.value()), static_cast<int16_t>(SclHeight.value()),
                     static_cast<int16_t>(SclHorizonal.value()),
                     static_cast<int16_t>(SclVertical.value())};
    layout.lock = Check1.value() == 1;
    layout.background = PicTarget.backColor();
}

SourcePicture IeMain::source() const {
    return {*sourcePicture_, picSource.rect().width, picSource.rect().height};
}

void IeMain::enableLayoutControls(bool sizeAndMove, bool colour, bool lock) {
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &Frame1, &Frame2, &SclHeight, &SclWidth, &SclHorizonal, &SclVertical, &Label1_0,
             &Label1_1, &Label1_2, &Label1_3, &txtHeight, &txtHorizonal, &txtWidth, &txtVertical})
        c->setEnabled(sizeAndMove);
    Picture2.setEnabled(colour);
    Command2.setEnabled(colour);
    Label3.setEnabled(colour);
    Check1.setEnabled(lock);
}

void IeMain::PicRefresh() {
    if (layout.RefreshLocked) return;
    if (txtFile.text().empty() && layout.StartSkin.empty()) return;
    layout.StartSkin.clear();
    switch (mode()) {
    case LayoutMode::Single:
        if (!layout.StartLoading) enableLayoutControls(true, true, true);
        break;
    case LayoutMode::Tile:
        if (!layout.StartLoading) enableLayoutControls(true, false, true);
        break;
    case LayoutMode::Stretch:
        enableLayoutControls(false, false, false);
        break;
    }
    drawPreview();
}

void IeMain::drawPreview() {
    switch (mode()) {
    case LayoutMode::Single: PicSingle(); break;
    case LayoutMode::Tile: PicTile(); break;
    case LayoutMode::Stretch: PicStretch(); break;
    }
}

// Each mode clears the preview and, with a picture in the source box, draws it.
void IeMain::PicTile() {
    syncLayout();
    previewShown_ = sourcePicture_ != nullptr;
    if (sourcePicture_)
        PreviewTile(layout, source(), PicTarget.surface());
    else
        PicTarget.surface().clear();
    PicTarget.refresh();
}

void IeMain::PicSingle() {
    syncLayout();
    previewShown_ = sourcePicture_ != nullptr;
    if (sourcePicture_)
        PreviewSingle(layout, source(), PicTarget.surface());
    else
        PicTarget.surface().clear();
    PicTarget.refresh();
}

void IeMain::PicStretch() {
    previewShown_ = sourcePicture_ != nullptr;
    if (sourcePicture_)
        PreviewStretch(source(), PicTarget.surface());
    else
        PicTarget.surface().clear();
    PicTarget.refresh();
}

void IeMain::ResetValues() {
    txtHeight.setText("100%");
    txtWidth.setText("100%");
    txtHorizonal.setText("0%");
    txtVertical.setText("0%");
    SclHeight.setValue(100);
    SclWidth.setValue(100);
    SclHorizonal.setValue(0);
    SclVertical.setValue(0);
    layout.single = SavedLayout{};
    layout.tile = SavedLayout{};
}

void IeMain::cmdReset_Click() {
    layout.RefreshLocked = true;
    ResetValues();
    layout.RefreshLocked = false;
    PicRefresh();
}

void IeMain::Option1_Click(int index) {
    layout.RefreshLocked = true;
    const SavedLayout* saved = index == 0 ? &layout.tile : index == 1 ? &layout.single : nullptr;
    if (saved) {
        // Each setter runs its bar's change handler, which may store into the saved set being
        // read, so every value is read just before it is set.
        SclHeight.setValue(saved->height);
        SclWidth.setValue(saved->width);
        SclHorizonal.setValue(saved->horizontal);
        if (auto vertical = ToInt16(saved->vertical)) SclVertical.setValue(vertical.value());
    }
    layout.RefreshLocked = false;
    PicRefresh();
}

void IeMain::Option2_Click(int) {
    int set = -1;
    for (int i = 0; i < kResolutionCount && set < 0; ++i)
        if (resolutionOptions[i].value()) set = i;
    ApplyResolution(picFinal.surface(), set);
}

void IeMain::offsetChanged(ui::VScrollBar& bar, ui::TextBox& text, int32_t SavedLayout::*saved) {
    text.setText(PercentText(bar.value()));
    if (Option1_0.value())
        layout.tile.*saved = bar.value();
    else if (Option1_1.value())
        layout.single.*saved = bar.value();
    PicRefresh();
}

void IeMain::SclHorizonal_Change() { offsetChanged(SclHorizonal, txtHorizonal, &SavedLayout::horizontal); }

void IeMain::SclVertical_Change() {
    txtVertical.setText(PercentText(SclVertical.value()));
    if (Option1_0.value())
        layout.tile.vertical = SclVertical.value();
    else if (Option1_1.value())
        layout.single.vertical = SclVertical.value();
    PicRefresh();
}

// Under Lock the moved bar copies its value to its partner, whose own change handler then
// stores and redraws once. When the partner already holds the value no handler would run, so
// the moved bar stores and redraws itself and the marker does not outlive the change.
void IeMain::sizeChanged(ui::VScrollBar& moved, ui::TextBox& text, ui::VScrollBar& partner,
                         int32_t SavedLayout::*saved) {
    text.setText(PercentText(moved.value()));
    if (!layout.SizeLocking && Check1.value() == 1 && partner.value() != moved.value()) {
        layout.SizeLocking = true;
        partner.setValue(moved.value());
        return;
    }
    layout.SizeLocking = false;
    if (Option1_0.value())
        layout.tile.*saved = moved.value();
    else if (Option1_1.value())
        layout.single.*saved = moved.value();
    PicRefresh();
}

void IeMain::SclHeight_Change() { sizeChanged(SclHeight, txtHeight, SclWidth, &SavedLayout::height); }
void IeMain::SclWidth_Change() { sizeChanged(SclWidth, txtWidth, SclHeight, &SavedLayout::width); }

void IeMain::SclWidth_Scroll() { txtWidth.setText(PercentText(SclWidth.value())); }
void IeMain::SclHeight_Scroll() { txtHeight.setText(PercentText(SclHeight.value())); }
void IeMain::SclHorizonal_Scroll() { txtHorizonal.setText(PercentText(SclHorizonal.value())); }
void IeMain::SclVertical_Scroll() { txtVertical.setText(PercentText(SclVertical.value())); }

// --- Picture loading ---

void IeMain::Command1_Click() {
    HandlerErrors<OnError::Resume> on;
    SourceFile.clear();
    CommonDlg = env_.newDialog();
    CommonDlg->setFilter(kPictureFilter);
    CommonDlg->setFileName("");
    CommonDlg->setFilterIndex(1);
    CommonDlg->setFileFlags(6);
    CommonDlg->setHwnd(env_.host.windowHandle(form));
    on.step(CommonDlg->ShowOpen());
    SourceFile = CommonDlg->fileName();
    CommonDlg.reset();
    if (SourceFile.empty()) return;

    // The picture is read and measured before anything of the window changes, so a file that
    // is no picture, or one too wide, leaves the window and its earlier picture as they were.
    // The width comes from the header: a picture too wide is never decoded, as its decoding
    // alone may not fit in the program's address space.
    auto file = platform::ReadPictureFile(env_.files, SourceFile);
    if (!file) {
        env_.host.messageBox(kNotLoadedMessage, ui::kMbIconExclamation);
        return;
    }
    const double tpp = env_.host.twipsPerPixelX();
    if (file.value().size.width * tpp > kWidestPicture) {
        env_.host.messageBox("Picture is too large to load", ui::kMbOk);
        return;
    }
    auto loaded = platform::DecodePictureFile(file.value());
    if (!loaded) {
        env_.host.messageBox(kNotLoadedMessage, ui::kMbIconExclamation);
        return;
    }
    auto picture = std::make_shared<Picture>(std::move(loaded).value());
    sourcePicture_ = picture;
    picSource.setPicture(picture, tpp);

    txtFile.setText("");
    CollectionFile.clear();
    Frame3.setEnabled(true);
    Frame4.setEnabled(true);
    Frame5.setEnabled(true);
    for (auto* o : option1_) o->setEnabled(true);
    for (ui::OptionButton& o : resolutionOptions) o.setEnabled(true);
    cmdReset.setEnabled(true);
    Command4.setEnabled(true);
    Option1_0.setValue(true);
    on.step(PicTarget.setBackColor(Picture2.backColor()));
    txtFile.setText(SourceFile);

    layout.RefreshLocked = true;
    SclHeight.setValue(100);
    SclWidth.setValue(100);
    SclHorizonal.setValue(0);
    SclVertical.setValue(0);
    Image2.setPicture(picture, tpp);
    layout.RefreshLocked = false;

    Image2.setHeight(1695);
    Image2.setWidth(1605);
    const double w = picSource.rect().width, h = picSource.rect().height;
    if (w > 0 && h > 0) {
        if (h < w)
            Image2.setHeight(Single(h / w * Image2.rect().height));
        else
            Image2.setWidth(Single(w / h * Image2.rect().width));
    }
    PicRefresh();
}

void IeMain::mNew_Click() { Command1_Click(); }

// --- Background colour ---

void IeMain::Command2_Click() {
    HandlerErrors<OnError::EndQuietly> on;
    CommonDlg = env_.newDialog();
    CommonDlg->setColor(Picture2.backColor());
    CommonDlg->setHwnd(env_.host.windowHandle(form));
    const bool shown = on.step(CommonDlg->ShowColor());
    const ColorRef chosen = CommonDlg->color();
    CommonDlg.reset();
    // A cancelled dialog gives -1, which no box takes as its colour: nothing changes.
    if (!shown || !on.step(Picture2.setBackColor(chosen)) || !on.step(PicTarget.setBackColor(chosen)))
        return;
    PicRefresh();
}

// --- Applying, collecting and removing ---

IeMain::Applied IeMain::FinalSave() {
    HandlerErrors<OnError::Resume> on;
    syncLayout();
    if (sourcePicture_) {
        ComposeFinal(layout, source(), picFinal.surface());
    } else {
        picFinal.surface().clear();
        on.step(picFinal.surface().setBackColor(layout.background));
    }
    picFinal.refresh();
    if (!platform::WriteBitmap(env_.files, picFinal.surface(), SkinPath())) {
        env_.host.messageBox(kNotSavedMessage, ui::kMbIconExclamation);
        return Applied::NotSaved;
    }
    if (!SetRegString(env_.registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue, SkinPath())) {
        env_.host.messageBox(kNotAppliedMessage, ui::kMbIconExclamation);
        return Applied::SavedOnly;
    }
    env_.host.messageBox(kSuccessMessage, ui::kMbIconInformation);
    return Applied::Applied;
}

bool IeMain::saveToCollection(const std::string& path) {
    if (platform::WriteBitmap(env_.files, picFinal.surface(), path)) return true;
    env_.host.messageBox(kNotCollectedMessage, ui::kMbIconExclamation);
    return false;
}

std::string IeMain::AddToSelection() {
    HandlerErrors<OnError::Resume> on;
    on.step(env_.files.CreateFolder(CollectionFolder(env_.dataFolder)));
    return FirstFreeCollectionFile(env_.dataFolder, [this](const std::string& p) { return platform::HasContent(env_.files, p); });
}

void IeMain::Command4_Click() {
    Option2_Click(1);
    const Applied applied = FinalSave();
    // A skin that was not saved goes nowhere: the collection would keep what is not in use.
    if (applied == Applied::NotSaved) return;
    if (applied == Applied::Applied) setRemoveSkinEnabled(true);
    if (!CollectionFile.empty()) {
        // Forgotten when it cannot be written, so that the next "&Apply" asks again and makes
        // the collection folder anew if it went.
        if (!saveToCollection(CollectionFile)) CollectionFile.clear();
        return;
    }
    if (env_.host.messageBox("Do you want to add IE Skin to Skin Collection",
                             ui::kMbYesNo | ui::kMbIconQuestion, "Confirm") != ui::kIdYes)
        return;
    const std::string name = AddToSelection();
    if (name.empty()) {
        env_.host.messageBox("Collection is full", ui::kMbOk);
        return;
    }
    if (saveToCollection(name)) CollectionFile = name;
}

void IeMain::Command5_Click() {
    HandlerErrors<OnError::Resume> on;
    if (env_.host.messageBox("Do you want to delete IE Skin", ui::kMbYesNo | ui::kMbIconQuestion,
                             "Confirm") != ui::kIdYes)
        return;
    on.step(DeleteRegValue(env_.registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue));
    if (!Frame4.enabled()) {
        PicTarget.clear();
        previewShown_ = false;
    }
    setRemoveSkinEnabled(false);
}

void IeMain::mRemSkin_Click() { Command5_Click(); }

// --- Menus of the other windows ---

void IeMain::mViewColl_Click() {
    env_.CurrentSkin = GetRegString(env_.registry, platform::kHKeyCurrentUser, kToolbarKey, kBackBitmapValue);
    // A window made afresh for each showing; the previous one (closed) goes with it.
    collection_ = std::make_unique<FrmCollection>(env_, *this);
    collection_->Form_Load();
    // The main window stays when the collection cannot be shown, so that one window is left.
    if (env_.host.showOrReport(collection_->form, false)) env_.host.hide(form);
}

void IeMain::OpenLink(const std::string& WebSiteStr, bool OpenNew) {
    skinmaker::OpenLink(env_.shell, env_.host, env_.files, env_.dataFolder, WebSiteStr, OpenNew);
}

void IeMain::mProb_Click() { OpenLink(kFeedbackPage, true); }

void IeMain::mAbout_Click() {
    about_ = std::make_unique<FrmAbout>(env_);
    about_->Form_Load();
    env_.host.showOrReport(about_->form, true);
}

std::vector<ui::CaptionBox> WindowCaptions(SkinMakerEnv& env, IeMain& main) {
    std::vector<ui::CaptionBox> captions;
    ui::AppendCaptionBoxes(main.form, captions);
    ui::AppendCaptionBoxes(FrmCollection(env, main).form, captions);
    ui::AppendCaptionBoxes(FrmAbout(env).form, captions);
    return captions;
}

} // namespace tess::skinmaker
