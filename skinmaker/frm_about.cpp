// The About box's controls with their design-time texts, and its OK button.
#include "skinmaker/frm_about.h"

namespace tess::skinmaker {

namespace {
constexpr ui::Label::Align kCentre = ui::Label::Align::Center;
}

FrmAbout::FrmAbout(SkinMakerEnv& env)
    : form("frmAbout", {0, 0, 3255, 3135}, "About", ui::Form::Border::FixedDialog),
      Label1(&form, "Label1", {210, 150, 2895, 465}, "Tessary 1.0", kCentre),
      Label2(&form, "Label2", {210, 750, 2865, 1245}, kMakerText, kCentre),
      Label3(&form, "Label3", {180, 2070, 2895, 255}, "Find more updates on", kCentre),
      Label4(&form, "Label4", {180, 2310, 2895, 255}, kMakerSite, kCentre),
      OKButton(&form, "OKButton", {1890, 2700, 1215, 375}, "OK"),
      env_(env) {
    form.setCentred(true);
    Label1.setFont({"Arial", 15.75, true});
    Label2.setWordWrap(true);
    // Enter and Esc both close the box.
    OKButton.setDefault(true);
    OKButton.setCancel(true);
    OKButton.onClick = [this] { OKButton_Click(); };
    form.onUnload = [this] { OKButton_Click(); };
}

void FrmAbout::OKButton_Click() { env_.host.unload(form); }

} // namespace tess::skinmaker
