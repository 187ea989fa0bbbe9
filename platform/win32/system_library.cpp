// The newer loader functions are looked up at run time, since older systems lack them and a
// program linked against them would not start there.
#include "platform/win32/system_library.h"

#include "platform/path_text.h"

namespace tess::platform::win32 {

namespace {

// AddDllDirectory comes with the loader that understands the LOAD_LIBRARY_SEARCH_* flags;
// LoadLibraryExA on a loader without it fails on those flags.
bool SearchFlagsSupported() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel && GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

} // namespace

std::string SystemDirectory() {
    char buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    std::string folder(buffer, length);
    if (EndsWithSeparator(folder))
        folder.pop_back();
    return folder;
}

UniqueModule LoadSystemLibrary(const std::string& name) {
    if (name.find_first_of("\\/:") != std::string::npos)
        return UniqueModule();
    if (SearchFlagsSupported())
        return UniqueModule(LoadLibraryExA(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    const std::string folder = SystemDirectory();
    if (folder.empty())
        return UniqueModule();
    // With a full path, the library's own dependencies are searched from its folder first.
    return UniqueModule(LoadLibraryExA((folder + "\\" + name).c_str(), nullptr,
                                       LOAD_WITH_ALTERED_SEARCH_PATH));
}

Result<SystemLibrary> SystemLibrary::Load(const std::string& name) {
    UniqueModule module = LoadSystemLibrary(name);
    if (!module)
        return Error{ErrorCode::CannotOpen, "the system library " + name + " cannot be loaded"};
    return SystemLibrary(std::move(module), name);
}

DllSearchRestriction RestrictDllSearchPath() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                         GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                   : nullptr;
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return DllSearchRestriction::DefaultDirectories;
    if (SetDllDirectoryA(""))
        return DllSearchRestriction::EmptyDllDirectory;
    return DllSearchRestriction::None;
}

} // namespace tess::platform::win32
