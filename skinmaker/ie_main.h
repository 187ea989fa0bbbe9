// The skin maker's main window: the toolbar preview, the layout controls, picture loading, the
// background colour, applying a skin and keeping it in the collection, and removing it again.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "core/product.h"
#include "core/skin_layout.h"
#include "skinmaker/skin_maker_env.h"
#include "ui/caption_boxes.h"
#include "ui/controls.h"

namespace tess::skinmaker {

class cNewDialog;
class FrmAbout;
class FrmCollection;

// Texts the window shows.
inline constexpr const char* kPictureFilter = "Graphic Files|*.gif;*.jpg;*.jpeg;*.bmp;*.dib;*.png";
inline constexpr double kWidestPicture = 24000;  // twips
inline constexpr const char* kFeedbackPage = "http://www.tessary.example/guestbook/sign.html";

class IeMain {
public:
    explicit IeMain(SkinMakerEnv& env);
    ~IeMain();

    // --- Controls, in the order of the window's table. ---
    ui::Form form;
    ui::PictureBox Picture1;
    ui::PictureBox PicTarget;
    ui::ImageBox Image1;
    ui::Frame Frame1;
    ui::Label Label1_0, Label1_1;
    ui::VScrollBar SclHorizonal, SclVertical;
    ui::TextBox txtHorizonal, txtVertical;
    ui::Frame Frame2;
    ui::CheckBox Check1;
    ui::Label Label1_3, Label1_2;
    ui::VScrollBar SclWidth, SclHeight;
    ui::TextBox txtWidth, txtHeight;
    ui::Label Label2;
    ui::TextBox txtFile;
    ui::CommandButton Command1;
    ui::Frame Frame3;
    ui::OptionButton Option1_0, Option1_1, Option1_2;
    ui::PictureBox Picture2;
    ui::Label Label3;
    ui::CommandButton Command2;
    ui::Frame Frame5;
    // The Option2 control array: one button a resolution, in the order of kResolutionPixels.
    std::array<ui::OptionButton, kResolutionCount> resolutionOptions;
    ui::Frame Frame4;
    ui::ImageBox Image2;
    ui::CommandButton cmdReset, Command5, Command4, Command3;
    ui::PictureBox picSource, picFinal;

    ui::MenuItem file, mNew, mRemSkin, mSep, mViewColl;
    ui::MenuItem mHelp, mProb, Sep23, mAbout;

    // The control arrays, by index.
    ui::OptionButton& Option1(int i) { return *option1_[i]; }
    ui::OptionButton& Option2(int i) { return resolutionOptions[i]; }
    ui::Label& Label1(int i) { return *label1_[i]; }

    // --- Window state. ---
    SkinLayout layout;
    std::string SourceFile;
    std::string CollectionFile;

    // --- Handlers and procedures. ---
    // False when another copy runs: the program then ends without a window.
    bool Form_Initialize();
    void Form_Load();
    void Form_Unload();
    // The window is on a screen of another DPI now: the preview is drawn again at its resolution.
    void Form_DpiChanged(double twipsPerPixel);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void cmdReset_Click();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void SclWidth_Change();
    void SclHeight_Change();
    void SclHorizonal_Change();
    void SclVertical_Change();
    void SclWidth_Scroll();
    void SclHeight_Scroll();
    void SclHorizonal_Scroll();
    void SclVertical_Scroll();
    void mNew_Click();
    void mRemSkin_Click();
    void mViewColl_Click();
    void mProb_Click();
    void mAbout_Click();

    // The collection window applied one of its skins: a window still waiting for a picture
    // starts as it does at load, showing that skin, and removing the skin is offered.
    void skinAppliedFromCollection();
    // Opens an address in the browser; `OpenNew` starts a new browser window for it.
    void OpenLink(const std::string& WebSiteStr, bool OpenNew);
    // The collection window while it is open (or since it was last closed); null before.
    FrmCollection* collection() { return collection_.get(); }

    void PicRefresh();
    void ResetValues();
    void PicTile();
    void PicSingle();
    void PicStretch();
    // Composes the skin, saves it and names it in the toolbar value (the Single mode's centring
    // is the engine's ComposeFinalCenter).
    enum class Applied { NotSaved, SavedOnly, Applied };
    Applied FinalSave();
    std::string AddToSelection();

    // The full path of the skin bitmap the program writes.
    std::string SkinPath() const { return env_.dataFolder + "\\" + product::kSkinFile; }

private:
    LayoutMode mode() const;
    // The scroll bars' values and the mode, as the engine reads them.
    void syncLayout();
    SourcePicture source() const;
    // Sets the state of the controls that PicRefresh enables per mode.
    void enableLayoutControls(bool sizeAndMove, bool colour, bool lock);
    void sizeChanged(ui::VScrollBar& moved, ui::TextBox& text, ui::VScrollBar& partner,
                     int32_t SavedLayout::*saved);
    void offsetChanged(ui::VScrollBar& bar, ui::TextBox& text, int32_t SavedLayout::*saved);
    void storeVertical();
    void setRemoveSkinEnabled(bool on);
    // Draws the preview in the mode chosen now.
    void drawPreview();
    bool saveToCollection(const std::string& path);
    void loadStartSkin();

    SkinMakerEnv& env_;
    std::unique_ptr<cNewDialog> CommonDlg;
    // The other windows outlive their showing until the next one, so that nothing of a closed
    // window's real windows can outlive the controls they show.
    std::unique_ptr<FrmCollection> collection_;
    std::unique_ptr<FrmAbout> about_;
    std::shared_ptr<const Picture> sourcePicture_;
    // Whether the preview shows the source picture, rather than nothing, so that it can be drawn
    // again at another resolution.
    bool previewShown_ = false;
    std::array<ui::OptionButton*, 3> option1_;
    std::array<ui::Label*, 4> label1_;
};

// The text a value box shows for its scroll bar: the value followed by "%".
std::string PercentText(int value);

// The captions of every window of the skin maker as it first shows them: the main window's, the
// collection's and the about box's, which the windows' font must fit.
std::vector<ui::CaptionBox> WindowCaptions(SkinMakerEnv& env, IeMain& main);

} // namespace tess::skinmaker
