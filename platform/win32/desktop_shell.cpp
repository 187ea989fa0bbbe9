// The desktop's shell reached through COM, and the choice between it and a direct start. The
// interfaces below are the shell's own: the call that starts the program runs in the shell's
// process, so the program gets the shell's token, not an elevated caller's.
#include "platform/win32/desktop_shell.h"

#include <windows.h>

#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "platform/path_text.h"
#include "platform/win32/com_objects.h"
#include "platform/win32/program.h"

namespace tess::platform::win32 {

namespace {

Error Failed(const std::string& step, HRESULT result) {
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(result));
    return Error{ErrorCode::CannotOpen, std::string("the desktop's shell: ") + step + " failed, " + code};
}

// The automation object of the desktop's folder view, or NoDesktopShell when no shell offers
// its window list or has no desktop in it.
Result<ShellAnswer> DesktopFolderView(ComRef<IShellFolderViewDual>& view) {
    ComRef<IShellWindows> windows;
    // The window list is served by the running shell's process only: created here it would be
    // this program's own and start nothing as the user.
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.out())))
        return ShellAnswer::NoDesktopShell;
    UniqueVariant desktopLocation;
    desktopLocation.setNumber(CSIDL_DESKTOP);
    UniqueVariant noRoot;
    long desktopWindow = 0;
    ComRef<IDispatch> browserDispatch;
    HRESULT result = windows->FindWindowSW(&desktopLocation.get(), &noRoot.get(), SWC_DESKTOP, &desktopWindow,
                                           SWFO_NEEDDISPATCH, browserDispatch.typedOut());
    // S_FALSE: the list has no desktop, as when another program than the shell draws it.
    if (FAILED(result) || result == S_FALSE || !browserDispatch)
        return ShellAnswer::NoDesktopShell;

    ComRef<IServiceProvider> services;
    if (FAILED(result = browserDispatch->QueryInterface(IID_IServiceProvider, services.out())))
        return Failed("asking the desktop for its services", result);
    ComRef<IShellBrowser> browser;
    if (FAILED(result = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.out())))
        return Failed("asking for the desktop's browser", result);
    ComRef<IShellView> shellView;
    if (FAILED(result = browser->QueryActiveShellView(shellView.typedOut())))
        return Failed("asking for the desktop's view", result);
    ComRef<IDispatch> viewDispatch;
    if (FAILED(result = shellView->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, viewDispatch.out())))
        return Failed("asking for the view's automation object", result);
    if (FAILED(result = viewDispatch->QueryInterface(IID_IShellFolderViewDual, view.out())))
        return Failed("asking for the folder view", result);
    return ShellAnswer::Started;
}

} // namespace

Result<ShellAnswer> Win32DesktopShell::Start(const std::string& program, const std::string& folder) {
    ComScope com;
    if (!com.usable())
        return Error{ErrorCode::CannotOpen, "COM could not be started"};
    ComRef<IShellFolderViewDual> view;
    Result<ShellAnswer> found = DesktopFolderView(view);
    if (!found || found.value() == ShellAnswer::NoDesktopShell)
        return found;

    ComRef<IDispatch> applicationDispatch;
    HRESULT result = view->get_Application(applicationDispatch.typedOut());
    if (FAILED(result))
        return Failed("asking the view for the shell's object", result);
    ComRef<IShellDispatch2> shell;
    if (FAILED(result = applicationDispatch->QueryInterface(IID_IShellDispatch2, shell.out())))
        return Failed("asking for the shell's starting service", result);

    // No arguments and the default verb: the program is opened as a double click would.
    const UniqueBstr file(program);
    UniqueVariant arguments;
    UniqueVariant directory;
    UniqueVariant operation;
    UniqueVariant show;
    show.setNumber(SW_SHOWNORMAL);
    if (!file || !directory.setText(folder))
        return Error{ErrorCode::InvalidArgument, "the path cannot be handed to the shell: " + program};
    if (FAILED(result = shell->ShellExecute(file.get(), arguments.get(), directory.get(), operation.get(), show.get())))
        return Failed("starting " + program, result);
    return ShellAnswer::Started;
}

Status StartAsDesktopUser(const std::string& program, DesktopShell& shell) {
    const std::string folder = ParentFolder(program);
    Result<ShellAnswer> answer = shell.Start(program, folder);
    if (!answer)
        return answer.status();
    if (answer.value() == ShellAnswer::Started)
        return Status::Ok();
    // No desktop shell to ask: the program can only be started from here, with this program's
    // token, which on these systems is the user's own or that of whoever was asked to elevate.
    return StartProgram(program);
}

} // namespace tess::platform::win32
