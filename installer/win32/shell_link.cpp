// COM is started for the one call when the thread has not started it, and every interface is
// released through an owner, so an early return leaks nothing.
#include "shell_link.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <utility>

#include "platform/path_text.h"
#include "platform/win32/com_objects.h"

namespace tess::installer::win32 {

namespace {

using platform::win32::ComRef;
using platform::win32::ComScope;

Error Failed(const char* step, HRESULT result) {
    char code[16];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(result));
    return Error{ErrorCode::WriteFailed, std::string("shortcut: ") + step + " failed, " + code};
}

} // namespace

Status CreateShellLink(const std::string& linkPath, const std::string& target,
                       const std::string& arguments, const std::string& description) {
    ComScope com;
    if (!com.usable())
        return Error{ErrorCode::CannotOpen, "COM could not be started"};
    ComRef<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, link.out());
    if (FAILED(result))
        return Failed("creating the link object", result);
    const std::string workingFolder = platform::ParentFolder(target);
    if (FAILED(result = link->SetPath(target.c_str())))
        return Failed("setting the target", result);
    if (FAILED(result = link->SetArguments(arguments.c_str())))
        return Failed("setting the arguments", result);
    if (FAILED(result = link->SetDescription(description.c_str())))
        return Failed("setting the description", result);
    if (FAILED(result = link->SetWorkingDirectory(workingFolder.c_str())))
        return Failed("setting the working folder", result);
    ComRef<IPersistFile> file;
    if (FAILED(result = link->QueryInterface(IID_IPersistFile, file.out())))
        return Failed("asking for the file interface", result);
    const std::wstring widePath = platform::win32::WideFromAnsi(linkPath);
    if (widePath.empty())
        return Error{ErrorCode::InvalidArgument, "shortcut path cannot be converted: " + linkPath};
    if (FAILED(result = file->Save(widePath.c_str(), TRUE)))
        return Failed("saving", result);
    return Status::Ok();
}

} // namespace tess::installer::win32
