// The uninstaller's entry point: started from the application folder it hands over to a copy of
// itself in the temporary folder; the copy (or a run from anywhere else) shows the window.
#include <windows.h>

#include "installer/system_info.h"
#include "platform/win32/system_library.h"
#include "installer/win32/win32_system_info.h"
#include "ui/win32/win32_bitmaps.h"
#include "ui/win32/win32_host.h"
#include "ui/win32/win32_program.h"
#include "ui/win32/win32_registry.h"
#include "uninstaller/folder_check.h"
#include "uninstaller/frm_uninstall.h"
#include "uninstaller/win32/temporary_copy.h"
#include "uninstaller/win32/win32_removal_files.h"

namespace {

tess::Picture WindowIcon() {
    tess::ui::win32::UniqueIcon icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "REMOVER", IMAGE_ICON, 32, 32, 0)));
    if (!icon)
        return {};
    return tess::ui::win32::IconPicture(icon.get(), 32).value_or(tess::Picture());
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tess;
    using namespace tess::uninstaller;
    (void)platform::win32::RestrictDllSearchPath();

    Win32Registry registry;
    win32::Win32RemovalFiles files;
    const std::string ownFile = ui::win32::ProgramFile();
    std::string appDir;
    if (auto handed = win32::AppDirArgument(ui::win32::CommandLineArguments())) {
        // The temporary copy: it goes at the next start, whatever the user does now.
        appDir = *handed;
        (void)win32::RemoveAtRestart(ownFile);
    } else {
        appDir = ui::win32::ProgramFolder();
        // Only the installed uninstaller needs its file out of the way; from anywhere else the
        // window refuses to remove anything.
        if (CheckApplicationFolder(registry, files, appDir).installed &&
            win32::StartTemporaryCopy(ownFile, appDir))
            return 0;
    }

    ui::win32::Win32Host host(kUninstallerTitle);
    installer::win32::Win32SystemInfo system;
    UninstallEnv env{host,
                     registry,
                     files,
                     appDir,
                     [&system] {
                         auto folder = system.SpecialFolder(installer::kCsidlPrograms);
                         return folder ? folder.value() : std::string();
                     },
                     WindowIcon(),
                     ownFile,
                     win32::RemoveAtRestart,
                     [] { ui::win32::CloseWindowsTitled("Tessary"); }};
    Uninstall window(env);
    window.Form_Load();
    host.show(window.form, false);
    return host.run();
}
