// The uninstaller's entry point: started from the application folder it hands over to a copy of
// itself in a private temporary folder and waits for it, ending with the copy's exit code; the
// copy (or a run from anywhere else) shows the window.
#include <windows.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "core/product.h"
#include "platform/file_system.h"
#include "platform/path_text.h"
#include "platform/system_info.h"
#include "platform/win32/program.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "ui/win32/win32_bitmaps.h"
#include "ui/win32/win32_host.h"
#include "ui/win32/win32_metrics.h"
#include "uninstaller/folder_check.h"
#include "uninstaller/frm_uninstall.h"
#include "uninstaller/win32/temporary_copy.h"

namespace {

// The window's icon at the size the system gives icons at a screen of that many twips per pixel.
tess::Picture WindowIcon(double twipsPerPixel) {
    const int side = tess::ui::win32::SystemMetricAt(SM_CXICON, static_cast<int>(std::lround(1440 / twipsPerPixel)));
    tess::platform::win32::UniqueIcon icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), "REMOVER", IMAGE_ICON, side, side, 0)));
    if (!icon)
        return {};
    return tess::ui::win32::IconPicture(icon.get(), side).value_or(tess::Picture());
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tess;
    using namespace tess::uninstaller;
    (void)platform::win32::RestrictDllSearchPath();

    platform::win32::Win32Registry registry;
    platform::FileSystem& files = platform::SystemFileSystem();
    const std::string ownFile = platform::win32::ProgramFile();
    std::string appDir;
    std::string heldFile = ownFile;
    std::function<bool(const std::string&)> setAside;
    std::vector<std::string> copyFiles;
    if (auto handed = win32::AppDirArgument(platform::win32::CommandLineArguments())) {
        // The temporary copy. It bears the name of the original, which waits in the application
        // folder holding its file. Once the user has said Yes it goes at the next start, and
        // its folder after it; otherwise the original removes both when it has ended.
        appDir = *handed;
        heldFile = appDir + "\\" + platform::LastName(ownFile);
        if (std::string folder = win32::PrivateFolderOf(ownFile); !folder.empty()) {
            copyFiles = {ownFile, folder};
            setAside = [folder](const std::string& file) { return win32::SetAside(file, folder); };
        }
    } else {
        appDir = platform::win32::ProgramFolder();
        // Only the installed uninstaller needs its file out of the way; from anywhere else the
        // window refuses to remove anything. The system's list of programs refreshes when the
        // command it started ends, so the original ends only with its copy.
        if (CheckApplicationFolder(registry, files, appDir).installed) {
            if (auto copy = win32::StartTemporaryCopy(ownFile, appDir)) {
                const int code = win32::WaitForCopy(copy.value(), kExitNotComplete);
                win32::RemoveCopy(copy.value());
                return code;
            }
        }
    }

    ui::win32::Win32Host host(kUninstallerTitle);
    platform::win32::Win32SystemInfo system;
    UninstallEnv env{host,
                     registry,
                     files,
                     appDir,
                     [&system](int csidl) {
                         auto folder = system.SpecialFolder(csidl);
                         return folder ? folder.value() : std::string();
                     },
                     WindowIcon,
                     heldFile,
                     win32::RemoveAtRestart,
                     setAside,
                     [] { platform::win32::CloseWindowsTitled(product::kWindowTitle); },
                     copyFiles};
    Uninstall window(env);
    host.setCaptions(ui::CaptionBoxes(window.form));
    window.Form_Load();
    // Nothing is removed without the window that asks first.
    if (!host.showOrReport(window.form, false)) return kExitNotComplete;
    return host.run();
}
