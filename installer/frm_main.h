// The setup wizard: a borderless window on the installer's artwork with five pages (Welcome,
// Choose folder, Ready, Installing, Finished), its button areas and keys, and dragging.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "installer/setup_env.h"
#include "installer/window_drag.h"
#include "ui/caption_boxes.h"
#include "ui/controls.h"

namespace tess::installer {

class FrmPath;

// The page texts, exactly as stored.
extern const char* const kWelcomeText;
extern const char* const kChooseText;
extern const char* const kReadyText;
extern const char* const kFinishedText;
extern const char* const kNotFinishedText;

class FrmMain {
public:
    explicit FrmMain(SetupEnv& env);
    ~FrmMain();

    ui::Form form;
    ui::ImageBox Image1_0, Image1_1, Image1_2, Image1_3;
    ui::ImageBox Image2;
    ui::Label Label1;
    ui::Label Buttt_1;
    ui::Label Label2_0, Label2_1, Label2_2, Label2_3;
    ui::Label Label3;
    ui::Label About;

    ui::ImageBox& Image1(int i) { return *image1_[i]; }
    ui::Label& Label2(int i) { return *label2_[i]; }

    int16_t WizardPage = 1;
    std::string InstallDir;
    std::string AppDir;
    std::string strSrcPath;
    bool Installing = false;
    bool IgnoreNextEnter = false;
    bool IgnoreNextEscape = false;

    // The window's creation: loading (Form_Load), then topmost at 100, 100 twips.
    void Form_Initialize();
    void Form_Load();
    void UpdateInfo();
    void Image1_Click(int Index);
    void Buttt_Click(int Index);
    void Form_KeyUp(int KeyCode, int Shift);
    void Form_MouseDown(int Button, int Shift, double X, double Y);
    void Form_MouseMove(int Button, int Shift, double X, double Y);
    void Form_DpiChanged(double twipsPerPixel);
    void About_MouseDown(int Button, int Shift, double X, double Y);
    void About_MouseMove(int Button, int Shift, double X, double Y);
    void RunProg();
    void InstallFiles();

    // The directory chooser while it is open (or since it was last closed); null before.
    FrmPath* chooser() { return chooser_.get(); }

private:
    void cover(ui::ImageBox& area);
    void show(ui::ImageBox& area);
    void askExit();
    void drawInstallingPage();
    void drawFinishedPage();

    SetupEnv& env_;
    std::shared_ptr<const Picture> patch_;
    DragState drag_;
    // The twips of a pixel where the window is: the system's until it moves to a monitor of
    // another DPI, whose pixels its position is then counted in.
    double twipsPerPixel_;
    std::array<ui::ImageBox*, 4> image1_;
    std::array<ui::Label*, 4> label2_;
    std::unique_ptr<FrmPath> chooser_;
    // What kept the installation from completing, as the last page tells it; empty when it
    // completed.
    std::vector<std::string> installFailure_;
};

// The captions of every window of setup in the windows' own font: the wizard's and the folder
// chooser's, which that font must fit.
std::vector<ui::CaptionBox> WindowCaptions(SetupEnv& env, FrmMain& wizard);

} // namespace tess::installer
