// The newer loader functions are looked up at run time, since older systems lack them and a
// program linked against them would not start there; without them, the libraries the system
// loads later are loaded ahead from the system folder.
#include "platform/win32/system_library.h"

#include <vector>

#include "platform/path_text.h"

namespace tess::platform::win32 {

namespace {

// Set once at start, before any other thread runs, when the program takes the loader to lack
// the search flags.
bool searchFlagsIgnored = false;

// AddDllDirectory comes with the loader that understands the LOAD_LIBRARY_SEARCH_* flags;
// LoadLibraryExA on a loader without it fails on those flags.
bool SearchFlagsSupported() {
    if (searchFlagsIgnored)
        return false;
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel && GetProcAddress(kernel, "AddDllDirectory") != nullptr;
}

// The libraries outside the known ones that the system's own libraries load by name while the
// elevated programs run: for windows and their themes, COM's class catalogue and the shell's
// objects, file and folder security, the user's profile and folders, and the compatibility
// layer. A name the system lacks (dwmapi before Vista) is passed over.
constexpr const char* kLoadedLaterBySystem[] = {
    "actxprxy.dll", "apphelp.dll", "clbcatq.dll", "cryptbase.dll", "dwmapi.dll", "ntmarta.dll",
    "oleacc.dll",   "profapi.dll", "propsys.dll", "userenv.dll",   "uxtheme.dll", "version.dll",
};

// Each of them loaded from the system folder for the rest of the program's life.
void LoadAheadFromSystemFolder() {
    static std::vector<UniqueModule> held;
    for (const char* name : kLoadedLaterBySystem)
        if (UniqueModule module = LoadSystemLibrary(name))
            held.push_back(std::move(module));
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

DllSearchRestriction RestrictDllSearchPath(LoaderFeatures features) {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    searchFlagsIgnored = features == LoaderFeatures::WithoutSearchFlags;
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefault = kernel && !searchFlagsIgnored
                                ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                      GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                : nullptr;
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return DllSearchRestriction::DefaultDirectories;
    // Without the search flags the program's own folder stays first for every library loaded by
    // name, and the system's libraries load some by name long after this line: a load by name
    // takes a library of that name that is already loaded, so they are loaded now, by path.
    const bool narrowed = SetDllDirectoryA("") != FALSE;
    LoadAheadFromSystemFolder();
    return narrowed ? DllSearchRestriction::EmptyDllDirectory : DllSearchRestriction::None;
}

} // namespace tess::platform::win32
