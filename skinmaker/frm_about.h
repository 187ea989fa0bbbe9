// The About box: the product's name and version, who makes it and how to reach them, and the
// web address for updates; shown modally from the main window's Help menu.
#pragma once

#include "skinmaker/skin_maker_env.h"
#include "ui/controls.h"

namespace tess::skinmaker {

inline constexpr const char* kMakerText =
    "Tessary is made by Halvory. For problems and suggestions please write to Halvory "
    "Support at support@tessary.example.";
inline constexpr const char* kMakerSite = "http://www.tessary.example/";

class FrmAbout {
public:
    explicit FrmAbout(SkinMakerEnv& env);

    ui::Form form;
    ui::Label Label1, Label2, Label3, Label4;
    ui::CommandButton OKButton;

    void Form_Load() {}
    void OKButton_Click();

private:
    SkinMakerEnv& env_;
};

} // namespace tess::skinmaker
