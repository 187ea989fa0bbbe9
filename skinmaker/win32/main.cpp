// The skin maker's entry point: one copy at a time, the Win32 services of the main window, the
// hidden application window that other programs ask to close, and the message loop.
#include <windows.h>

#include <memory>
#include <string>

#include "core/product.h"
#include "platform/file_system.h"
#include "platform/win32/embedded_resources.h"
#include "platform/win32/program.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "skinmaker/c_new_dialog.h"
#include "skinmaker/data_folder.h"
#include "skinmaker/ie_main.h"
#include "skinmaker/win32/win32_shell.h"
#include "ui/win32/application_window.h"
#include "ui/win32/win32_common_dialogs.h"
#include "ui/win32/win32_host.h"

namespace {

tess::ColorRef SystemColour(int index) {
    const COLORREF c = GetSysColor(index);
    return tess::MakeColorRef(GetRValue(c), GetGValue(c), GetBValue(c));
}

// The folder the skin and the collection go to: beside the program where its user may write,
// else in the user's local application data, where the browser finds the skin too.
std::string DataFolder(tess::platform::Files& files) {
    const tess::platform::win32::Win32SystemInfo system;
    const auto localAppData = system.SpecialFolder(tess::platform::kCsidlLocalAppData);
    return tess::skinmaker::ChooseDataFolder(files, tess::platform::win32::ProgramFolder(),
                                  localAppData ? localAppData.value() : std::string());
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tess;
    using namespace tess::skinmaker;
    // The host declares the program DPI-aware before anything measures the screen.
    ui::win32::Win32Host host(product::kWindowTitle);
    auto guard = platform::win32::SingleInstanceGuard::Acquire(product::kInstanceMutex);

    platform::win32::Win32Registry registry;
    skinmaker::win32::Win32Shell shell;
    ui::win32::Win32CommonDialogs dialogs;
    ui::win32::Win32DialogPlatform dialogPlatform;
    auto toolbar = platform::win32::LoadEmbeddedPicture(kToolbarResource);

    platform::FileSystem& files = platform::SystemFileSystem();
    SkinMakerEnv env{host, registry, shell, files,
                     [&] { return std::make_unique<cNewDialog>(dialogs, dialogPlatform); },
                     std::string(), toolbar ? toolbar.value() : Picture()};
    env.buttonFace = SystemColour(COLOR_BTNFACE);
    // A guard that could not be made counts as another copy: two copies must never both run.
    env.anotherCopyRunning = [&] { return !guard || guard.value().anotherRunning(); };

    IeMain window(env);
    host.setCaptions(WindowCaptions(env, window));
    if (!window.Form_Initialize()) return 0;
    // Chosen once this is the only copy, whose test write no other copy can meet.
    env.dataFolder = DataFolder(files);
    // Titled as the setup program and the uninstaller look for it when they close a running copy.
    ui::win32::ApplicationWindow application(product::kWindowTitle, [&] { host.endProgram(); });
    window.Form_Load();
    if (!host.showOrReport(window.form, false)) return 1;
    return host.run();
}
