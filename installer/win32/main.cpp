// The setup program's entry point: the library search path restricted before anything loads,
// the wizard's Win32 services, a running skin maker asked to close, and the message loop.
#include <windows.h>

#include <memory>
#include <string>

#include "core/product.h"
#include "installer/frm_main.h"
#include "installer/win32/cabinet_extractor.h"
#include "installer/win32/packed_digests.h"
#include "installer/win32/shell_link.h"
#include "installer/win32/system_sha256.h"
#include "platform/file_system.h"
#include "platform/win32/desktop_shell.h"
#include "platform/win32/embedded_resources.h"
#include "platform/win32/folder_security.h"
#include "platform/win32/program.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system_info.h"
#include "ui/win32/win32_host.h"

namespace {

// The skin maker started through the desktop's shell, with the user's token rather than setup's.
class DesktopSkinMakerStarter final : public tess::installer::SkinMakerStarter {
public:
    tess::Status StartAsDesktopUser(const std::string& programFile) override {
        tess::platform::win32::Win32DesktopShell shell;
        return tess::platform::win32::StartAsDesktopUser(programFile, shell);
    }
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tess;
    // Before any library is loaded: a setup program often runs from a downloads folder, where a
    // planted library must not be picked up.
    (void)platform::win32::RestrictDllSearchPath();
    ui::win32::Win32Host host(installer::kSetupTitle);

    platform::win32::Win32Registry registry;
    platform::win32::Win32SystemInfo system;
    installer::win32::Win32CabinetExtractor cabinet;
    installer::win32::Win32ShellLinks links;
    platform::win32::Win32ProgramFolders programFolders;
    installer::win32::Win32Sha256Hasher hasher;
    auto artwork = platform::win32::LoadEmbeddedPicture("WIZARD");
    auto patch = platform::win32::LoadEmbeddedPicture("PATCH");

    installer::SetupEnv env{host, registry, system, platform::SystemFileSystem(), cabinet, links, programFolders,
                            hasher, installer::win32::PackedProgramDigests(),
                            platform::win32::ProgramFolder(), platform::win32::CommandLineArguments(),
                            artwork ? artwork.value() : Picture(), patch ? patch.value() : Picture()};
    env.closeRunningCopy = [] { platform::win32::CloseWindowsTitled(product::kWindowTitle); };
    DesktopSkinMakerStarter skinMaker;
    env.skinMaker = &skinMaker;
    installer::FrmMain* shown = nullptr;
    env.pauseAfterInstalling = [&] {
        // The installing page is painted now, then stays a second before the last page.
        if (HWND window = reinterpret_cast<HWND>(host.windowHandle(shown->form))) UpdateWindow(window);
        Sleep(1000);
    };

    installer::FrmMain wizard(env);
    host.setCaptions(installer::WindowCaptions(env, wizard));
    shown = &wizard;
    wizard.Form_Initialize();
    if (!host.showOrReport(wizard.form, false)) return 1;
    return host.run();
}
