// COM is started for the one call when the thread has not started it, and every interface is
// released through an owner, so an early return leaks nothing.
#include "shell_link.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <utility>

#include "platform/path_text.h"

namespace tess::installer::win32 {

namespace {

// Owns one reference to a COM interface.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    // The address to receive a new reference; any held one is released first.
    void** out() {
        reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    void reset() {
        if (pointer_)
            pointer_->Release();
        pointer_ = nullptr;
    }

private:
    Interface* pointer_ = nullptr;
};

// Starts COM on this thread for a scope, unless it runs there already in another mode.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.pop_back();  // the terminating NUL counted by the call
    return wide;
}

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
    const std::wstring widePath = Wide(linkPath);
    if (widePath.empty())
        return Error{ErrorCode::InvalidArgument, "shortcut path cannot be converted: " + linkPath};
    if (FAILED(result = file->Save(widePath.c_str(), TRUE)))
        return Failed("saving", result);
    return Status::Ok();
}

} // namespace tess::installer::win32
