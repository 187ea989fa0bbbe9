// The setup wizard's controls, its page layout, its button areas and keys, the installation
// run from page 4, the finished page's drawing, and dragging the borderless window.
#include "installer/frm_main.h"

#include <algorithm>

#include "core/error_rules.h"
#include "core/product.h"
#include "installer/command_line.h"
#include "installer/frm_path.h"
#include "installer/installation.h"
#include "installer/main_varies.h"
#include "installer/setup_strings.h"

namespace tess::installer {

const char* const kWelcomeText =
    "Welcome to Tessary Installation Program.\r\n"
    "Setup cannot install system files or update shared files. Before proceeding, we recommend "
    "that you close any applications you may be running.\r\n\r\n\r\n"
    "Click Next to proceed.";
const char* const kChooseText =
    "Choose Directory for Tessary Installation.\r\n"
    "Click Change to modify path.\r\n\r\n\r\n\r\n\r\n\r\n"
    "Click Next to proceed.                             ";
const char* const kReadyText = "                  Click Next to Start Copying Files.";
const char* const kFinishedText = "Tessary Installation is Finished.\r\n";
const char* const kNotFinishedText = "Tessary Installation is not complete.\r\n";

namespace {

constexpr ColorRef kGreen = MakeColorRef(0, 255, 0);
constexpr ColorRef kCyan = MakeColorRef(0, 255, 255);
constexpr ColorRef kNavy = MakeColorRef(0, 0, 64);
constexpr ui::Label::Align kCentre = ui::Label::Align::Center;
constexpr ui::Label::Align kLeft = ui::Label::Align::Left;
constexpr const char* kExitQuestion = "Do you want to exit from Halvory setup";

constexpr int kEnter = 13, kEscape = 27, kLeftKey = 37, kRightKey = 39;

} // namespace

FrmMain::FrmMain(SetupEnv& env)
    : form("frmMain", {0, 0, 5325, 3510}, "Halvory Installation", ui::Form::Border::None),
      Image1_0(&form, "Image1", {330, 2580, 1095, 525}, true, 0),
      Image1_1(&form, "Image1", {1860, 2580, 1035, 525}, true, 1),
      Image1_2(&form, "Image1", {2940, 2580, 1035, 525}, true, 2),
      Image1_3(&form, "Image1", {3840, 1560, 1065, 525}, true, 3),
      Image2(&form, "Image2", {5520, 270, 1605, 855}, true),
      Label1(&form, "Label1", {1590, 330, 2235, 285}, "Tessary 1.0 Setup"),
      Buttt_1(&form, "Buttt", {4710, 270, 315, 285}, "", kLeft, 1),
      Label2_0(&form, "Label2", {390, 2700, 945, 375}, "&Exit", kCentre, 0),
      Label2_1(&form, "Label2", {1890, 2700, 945, 375}, "&Prev", kCentre, 1),
      Label2_2(&form, "Label2", {2940, 2700, 915, 375}, "&Next", kCentre, 2),
      Label2_3(&form, "Label2", {3960, 1680, 885, 375}, "&Change", kLeft, 3),
      Label3(&form, "Label3", {420, 1680, 3405, 675}, ""),
      About(&form, "About", {540, 720, 4245, 2265}, "", kCentre),
      env_(env), patch_(std::make_shared<Picture>(env.patch)),
      twipsPerPixel_(env.host.twipsPerPixelX()), image1_{&Image1_0, &Image1_1, &Image1_2, &Image1_3},
      label2_{&Label2_0, &Label2_1, &Label2_2, &Label2_3} {
    form.setCentred(true);
    form.setIcon("ORVINST");
    form.setForeColor(kNavy);
    form.setFillStyle(ui::Form::FillStyle::Solid);
    form.setFillColor(MakeColorRef(0, 0, 128));
    form.setPicture(std::make_shared<Picture>(env.artwork));
    Image2.setPicture(patch_, env.host.twipsPerPixelX());

    Label1.setForeColor(kGreen);
    Label1.setFont({"Arial", 12.75, true});
    Label1.setAutoSize(true);
    for (int i = 0; i < 4; ++i) label2_[i]->setFont({"Arial", i == 3 ? 9.75 : 12, true});
    Label3.setForeColor(kCyan);
    Label3.setFont({"Arial", 8.25, true});
    About.setForeColor(kCyan);
    About.setFont({"Arial", 8.25, true});
    About.setWordWrap(true);
    for (ui::Label* l : {&Label1, &Buttt_1, &Label2_0, &Label2_1, &Label2_2, &Label2_3, &Label3, &About})
        l->setBackStyle(ui::Label::BackStyle::Transparent);

    for (int i = 0; i < 4; ++i) image1_[i]->onClick = [this, i] { Image1_Click(i); };
    // A caption covers most of its button area, and the page text reaches down over the top of
    // the button row: a click on a caption is its area's click while the area takes clicks, and
    // the page text lies behind the areas until the installation brings it to the front.
    for (int i = 0; i < 4; ++i) label2_[i]->onClick = [this, i] { image1_[i]->press(); };
    About.sendToBack();
    Buttt_1.onClick = [this] { Buttt_Click(1); };
    form.onKeyUp = [this](int key, int shift) { Form_KeyUp(key, shift); };
    form.onMouseDown = [this](int b, int s, double x, double y) { Form_MouseDown(b, s, x, y); };
    form.onMouseMove = [this](int b, int s, double x, double y) { Form_MouseMove(b, s, x, y); };
    About.onMouseDown = [this](int b, int s, double x, double y) { About_MouseDown(b, s, x, y); };
    About.onMouseMove = [this](int b, int s, double x, double y) { About_MouseMove(b, s, x, y); };
    // The close box of the task bar asks as the Exit area does.
    form.onUnload = [this] { Image1_Click(0); };
    form.onDpiChanged = [this](double twipsPerPixel) { Form_DpiChanged(twipsPerPixel); };
}

FrmMain::~FrmMain() = default;

void FrmMain::Form_Initialize() {
    Form_Load();
    form.setTopMost(true);
    // Placed here rather than centred: this is where the user first sees it.
    form.setCentred(false);
    form.move(100, 100);
}

void FrmMain::Form_Load() {
    if (env_.closeRunningCopy) env_.closeRunningCopy();
    WizardPage = 1;
    strSrcPath = ProcessCommandLine(env_.commandLine).sourcePath;
    InstallDir = InitInstallDir(env_.registry, env_.system, env_.files);
    Label2_3.setCaption("");
    UpdateInfo();
    form.setTopMost(true);
}

void FrmMain::cover(ui::ImageBox& area) { area.setPicture(patch_, env_.host.twipsPerPixelX()); }
void FrmMain::show(ui::ImageBox& area) { area.setPicture(nullptr, env_.host.twipsPerPixelX()); }

void FrmMain::UpdateInfo() {
    form.setTopMost(true);
    switch (WizardPage) {
    case 1:
        About.setAlign(kCentre);
        About.setCaption(kWelcomeText);
        cover(Image1_1);
        Image1_1.setEnabled(false);
        cover(Image1_3);
        Image1_3.setEnabled(false);
        Image1_3.sendToBack();
        Label3.setCaption("");
        Label3.setVisible(false);
        Label3.sendToBack();
        Label2_3.setCaption("");
        break;
    case 2:
        About.setAlign(kCentre);
        form.cls();
        About.setCaption(kChooseText);
        show(Image1_1);
        Image1_1.setEnabled(true);
        show(Image1_3);
        Image1_3.setEnabled(true);
        Image1_3.bringToFront();
        Label3.setCaption(ChooseFolderDisplayPath(InstallDir));
        Label3.setVisible(true);
        Label3.bringToFront();
        Label2_3.setCaption("&Change");
        Label2_3.bringToFront();
        break;
    case 3:
        About.setAlign(kLeft);
        About.setCaption(kReadyText);
        show(Image1_1);
        Image1_1.setEnabled(true);
        cover(Image1_3);
        Image1_3.setEnabled(false);
        Image1_3.sendToBack();
        Label3.setCaption(ReadyShortPath(InstallDir));
        Label3.setVisible(false);
        Label3.sendToBack();
        Label2_3.setCaption("");
        break;
    case 4:
        About.setAlign(kLeft);
        drawInstallingPage();
        // The page stays on screen while the files go in; InstallFiles then shows the last page.
        WizardPage = 5;
        Installing = true;
        InstallFiles();
        break;
    case 5:
        drawFinishedPage();
        break;
    }
}

void FrmMain::drawInstallingPage() {
    form.setDrawWidth(30);
    form.line(4000, 1800, 4600, 1800);
    cover(Image1_0);
    form.setForeColor(kNavy);
    form.setDrawWidth(30);
    form.line(600, 2850, 1200, 2850);
    cover(Image1_0);
    Image1_0.setEnabled(false);
    About.bringToFront();
}

void FrmMain::drawFinishedPage() {
    About.setAlign(kCentre);
    if (installFailure_.empty()) {
        About.setCaption(kFinishedText);
    } else {
        // The last page must not announce a finished installation or offer to run a program
        // that is not there: it keeps the reasons instead.
        std::string caption = kNotFinishedText;
        for (const std::string& line : installFailure_) caption += line + "\r\n";
        About.setCaption(caption);
    }
    About.setRect({About.rect().left - 200, About.rect().top - 200, About.rect().width, About.rect().height});
    form.setForeColor(kCyan);
    form.setFontName("Arial");
    form.setFontBold(true);
    if (installFailure_.empty()) {
        form.setCurrentX(1425);
        form.setCurrentY(1050);
        form.setFontSize(12);
        form.print("          Starting");
        form.setCurrentX(1380);
        form.setCurrentY(1355);
        form.setFontSize(20);
        form.setForeColor(MakeColorRef(0, 0, 0));
        form.print("Tessary 1.0");
        form.setCurrentX(1350);
        form.setCurrentY(1325);
        form.setFontSize(20);
        form.setForeColor(kGreen);
        form.print("Tessary 1.0");
    }
    Label2_0.setCaption("");
    Label2_2.setCaption("&Finish");
    if (!installFailure_.empty()) {
        // Nothing to run: the Run area is covered and the lamp stays red.
        Label2_1.setCaption("");
        cover(Image1_1);
        Image1_1.setEnabled(false);
        return;
    }
    Label2_1.setCaption("&Run");
    form.setDrawWidth(1);
    form.setForeColor(MakeColorRef(96, 96, 96));
    form.setFillColor(kGreen);
    form.circle(4895, 3074, 318);
}

void FrmMain::InstallFiles() {
    InstallReport report =
        installer::InstallFiles({env_.files, env_.cabinet, env_.registry, env_.links, env_.system,
                                 env_.programFolders, env_.hasher, env_.packed},
                                env_.setupFolder, InstallDir);
    if (report.outcome == InstallReport::Outcome::NoCabinet) {
        env_.host.messageBox("Installable Files are not available", ui::kMbOk, kSetupTitle);
        env_.host.endProgram();
        return;
    }
    InstallDir = report.appDir;
    AppDir = report.appDir;
    installFailure_ = report.failure;
    About.setWidth(4500);
    std::string caption = About.caption();
    for (const std::string& line : report.lines) caption += "\r\n" + line;
    About.setCaption(caption);
    if (env_.pauseAfterInstalling) env_.pauseAfterInstalling();
    WizardPage = 5;
    UpdateInfo();
    Installing = false;
}

void FrmMain::askExit() {
    // Whether asked from a key or a click, the Enter that answers the question is released after
    // the box has gone, and that release reaches the wizard: it must not also move it on.
    IgnoreNextEnter = true;
    if (env_.host.messageBox(kExitQuestion, ui::kMbYesNo | ui::kMbDefButton2, kSetupTitle) == ui::kIdYes)
        env_.host.endProgram();
}

void FrmMain::Image1_Click(int Index) {
    if (Installing) return;
    IgnoreNextEnter = false;
    IgnoreNextEscape = false;
    switch (Index) {
    case 0:
        askExit();
        break;
    case 1:
        if (WizardPage == 5) {
            if (installFailure_.empty()) RunProg();
            env_.host.endProgram();
            return;
        }
        WizardPage = static_cast<int16_t>(std::max(1, WizardPage - 1));
        UpdateInfo();
        break;
    case 2:
        if (WizardPage == 5) {
            if (installFailure_.empty() &&
                env_.host.messageBox("Do you want to run Tessary", ui::kMbYesNo, "Tessary installation") ==
                    ui::kIdYes)
                RunProg();
            env_.host.endProgram();
            return;
        }
        WizardPage = static_cast<int16_t>(std::min(5, WizardPage + 1));
        UpdateInfo();
        break;
    case 3:
        chooser_ = std::make_unique<FrmPath>(env_, *this);
        chooser_->Form_Load();
        env_.host.showOrReport(chooser_->form, true);
        break;
    }
}

void FrmMain::Buttt_Click(int) { Image1_Click(0); }

void FrmMain::Form_KeyUp(int KeyCode, int Shift) {
    if (Installing) return;
    if (Shift == ui::kAltKey) {
        switch (KeyCode) {
        case 'F':
            if (WizardPage == 5) KeyCode = kEnter;
            break;
        case 'R':
            if (WizardPage == 5) Image1_Click(1);
            break;
        case 'N': KeyCode = kRightKey; break;
        case 'P': KeyCode = kLeftKey; break;
        case 'E': KeyCode = kEscape; break;
        case 'C':
            if (WizardPage == 2) Image1_Click(3);
            break;
        }
    }
    switch (KeyCode) {
    case kEnter:
    case kRightKey:
        if (IgnoreNextEnter) {
            IgnoreNextEnter = false;
            return;
        }
        if (!(KeyCode == kRightKey && WizardPage == 5)) Image1_Click(2);
        break;
    case kEscape:
        if (IgnoreNextEscape) {
            IgnoreNextEscape = false;
            return;
        }
        if (WizardPage != 5) askExit();
        break;
    case kLeftKey:
        if (WizardPage != 5) Image1_Click(1);
        break;
    }
}

void FrmMain::Form_MouseDown(int, int, double X, double Y) {
    HandlerErrors<OnError::Resume> on;
    on.step(PressForDrag(drag_, static_cast<float>(X), static_cast<float>(Y)));
}

void FrmMain::Form_MouseMove(int Button, int, double X, double Y) {
    const ui::TwipsRect outer = form.outerRect();
    // The screen's size in the pixels of the window's monitor.
    const double scale = twipsPerPixel_ / env_.host.twipsPerPixelX();
    const ScreenTwips screen{env_.host.screenWidthTwips() * scale, env_.host.screenHeightTwips() * scale,
                             twipsPerPixel_, twipsPerPixel_};
    auto moved = MoveForDrag(drag_, static_cast<int16_t>(Button), static_cast<float>(X),
                             static_cast<float>(Y), {outer.left, outer.top, outer.width, outer.height}, screen);
    if (!moved || !moved.value()) return;
    const WindowPixels& to = *moved.value();
    form.setTopMost(true);
    form.move(to.left * screen.twipsPerPixelX, to.top * screen.twipsPerPixelY);
}

void FrmMain::Form_DpiChanged(double twipsPerPixel) { twipsPerPixel_ = twipsPerPixel; }

void FrmMain::About_MouseDown(int Button, int Shift, double X, double Y) { Form_MouseDown(Button, Shift, X, Y); }
void FrmMain::About_MouseMove(int Button, int Shift, double X, double Y) { Form_MouseMove(Button, Shift, X, Y); }

void FrmMain::RunProg() {
    // If it does not start, the installation is still complete and the user can start it from
    // its shortcut.
    HandlerErrors<OnError::Resume> on;
    if (env_.skinMaker) on.step(env_.skinMaker->StartAsDesktopUser(AppDir + "\\" + product::kProgramFile));
    env_.host.hide(form);
}

std::vector<ui::CaptionBox> WindowCaptions(SetupEnv& env, FrmMain& wizard) {
    std::vector<ui::CaptionBox> captions;
    ui::AppendCaptionBoxes(wizard.form, captions);
    ui::AppendCaptionBoxes(FrmPath(env, wizard).form, captions);
    return captions;
}

} // namespace tess::installer
