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
#include "skinmaker/c_new_dialog.h"
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

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tess;
    // The host declares the program DPI-aware before anything measures the screen.
    ui::win32::Win32Host host(product::kWindowTitle);
    auto guard = platform::win32::SingleInstanceGuard::Acquire(product::kInstanceMutex);

    platform::win32::Win32Registry registry;
    Win32Shell shell;
    ui::win32::Win32CommonDialogs dialogs;
    ui::win32::Win32DialogPlatform dialogPlatform;
    auto toolbar = platform::win32::LoadEmbeddedPicture(kToolbarResource);

    SkinMakerEnv env{host, registry, shell, platform::SystemFileSystem(),
                     [&] { return std::make_unique<cNewDialog>(dialogs, dialogPlatform); },
                     platform::win32::ProgramFolder(), toolbar ? toolbar.value() : Picture()};
    env.buttonFace = SystemColour(COLOR_BTNFACE);
    // A guard that could not be made counts as another copy: two copies must never both run.
    env.anotherCopyRunning = [&] { return !guard || guard.value().anotherRunning(); };

    IeMain window(env);
    if (!window.Form_Initialize()) return 0;
    // Titled as the setup program and the uninstaller look for it when they close a running copy.
    ui::win32::ApplicationWindow application(product::kWindowTitle, [&] { host.endProgram(); });
    window.Form_Load();
    host.show(window.form, false);
    return host.run();
}
