// The setup program's entry point: the library search path restricted before anything loads,
// the wizard's Win32 services, a running skin maker asked to close, and the message loop.
#include <windows.h>

#include <memory>
#include <string>

#include "installer/frm_main.h"
#include "installer/win32/cabinet_extractor.h"
#include "installer/win32/shell_link.h"
#include "platform/file_system.h"
#include "platform/win32/system_library.h"
#include "installer/win32/win32_system_info.h"
#include "ui/win32/embedded_resources.h"
#include "ui/win32/win32_host.h"
#include "ui/win32/win32_program.h"
#include "ui/win32/win32_registry.h"

namespace {

void StartProgram(const std::string& program) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    std::string commandLine = "\"" + program + "\"";
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       folder.c_str(), &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace tess;
    // Before any library is loaded: a setup program often runs from a downloads folder, where a
    // planted library must not be picked up.
    (void)platform::win32::RestrictDllSearchPath();
    ui::win32::Win32Host host(installer::kSetupTitle);

    Win32Registry registry;
    installer::win32::Win32SystemInfo system;
    installer::win32::Win32CabinetExtractor cabinet;
    installer::win32::Win32ShellLinks links;
    auto artwork = LoadEmbeddedPicture("WIZARD");
    auto patch = LoadEmbeddedPicture("PATCH");

    installer::SetupEnv env{host, registry, system, platform::SystemFileSystem(), cabinet, links, ui::win32::ProgramFolder(),
                            ui::win32::CommandLineArguments(), artwork ? artwork.value() : Picture(),
                            patch ? patch.value() : Picture()};
    env.closeRunningCopy = [] { ui::win32::CloseWindowsTitled("Tessary"); };
    env.startProgram = StartProgram;
    installer::FrmMain* shown = nullptr;
    env.pauseAfterInstalling = [&] {
        // The installing page is painted now, then stays a second before the last page.
        if (HWND window = reinterpret_cast<HWND>(host.windowHandle(shown->form))) UpdateWindow(window);
        Sleep(1000);
    };

    installer::FrmMain wizard(env);
    shown = &wizard;
    wizard.Form_Initialize();
    host.show(wizard.form, false);
    return host.run();
}
