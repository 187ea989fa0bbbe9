// What the skin maker's windows need from the program around them: the host, the common
// dialogs, the registry, the file system, the folder they write in, the stored toolbar picture
// and system colours.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/color.h"
#include "core/picture.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "skinmaker/shell_api.h"
#include "ui/host.h"

namespace tess::skinmaker {

// Resource names of the skin maker (skinmaker/win32/tessary.rc): the toolbar picture (raw GIF
// bytes) and the program icon, which its windows show.
inline constexpr const char* kToolbarResource = "TOOLBAR";
inline constexpr const char* kProgramIconResource = "TESSARY";

class cNewDialog;

struct SkinMakerEnv {
    ui::Host& host;
    platform::RegistryApi& registry;
    ShellApi& shell;
    platform::FileSystem& files;
    // A fresh dialog component for one use, owned by the main window while it is shown.
    std::function<std::unique_ptr<cNewDialog>()> newDialog;
    // Where "Skin.bmp", the collection and the browser-finding page are written, without a
    // trailing backslash: the program's own folder where the user may write there, else the
    // user's local application data (ChooseDataFolder).
    std::string dataFolder;
    // The browser's toolbar drawn over the preview, 800 × 92 pixels with transparent parts.
    Picture toolbar;
    // The system's button-face colour: the preview's back colour until one is chosen.
    ColorRef buttonFace = MakeColorRef(212, 208, 200);
    // Whether an earlier copy of the program is running.
    std::function<bool()> anotherCopyRunning = {};

    // The toolbar background path as last read or applied, shared by the program's windows.
    std::string CurrentSkin = {};
};

} // namespace tess::skinmaker
