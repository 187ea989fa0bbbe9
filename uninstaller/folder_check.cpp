// The application folder is recognised by its name and by the uninstall entry that the setup
// program wrote, so that no other folder is ever emptied by mistake.
#include "uninstaller/folder_check.h"

#include "core/ascii_case.h"
#include "core/product.h"

namespace tess::uninstaller {

namespace {

std::string Canonical(const std::string& path) {
    std::string out;
    for (char c : path) {
        const char folded = c == '/' ? '\\' : AsciiLower(c);
        // A network path keeps its leading pair of backslashes.
        if (folded == '\\' && !out.empty() && out.back() == '\\' && out.size() > 1)
            continue;
        out.push_back(folded);
    }
    while (out.size() > 1 && out.back() == '\\')
        out.pop_back();
    return out;
}

std::string LastName(const std::string& path) {
    const std::string canonical = Canonical(path);
    const size_t slash = canonical.find_last_of('\\');
    return slash == std::string::npos ? canonical : canonical.substr(slash + 1);
}

std::string UninstallCommand(RegistryApi& registry) {
    const OpenedKey opened = OpenKey(registry, kHKeyLocalMachine, product::kUninstallKey);
    if (!opened.ok())
        return {};
    return RegQueryString(registry, opened.key.get(), product::kUninstallString).value_or("");
}

} // namespace

bool SamePath(const std::string& a, const std::string& b) { return Canonical(a) == Canonical(b); }

std::string CommandFolder(const std::string& uninstallCommand) {
    std::string program = uninstallCommand;
    const size_t start = program.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    program.erase(0, start);
    if (program.front() == '"') {
        const size_t close = program.find('"', 1);
        program = program.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    const size_t slash = program.find_last_of('\\');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

FolderCheck CheckApplicationFolder(RegistryApi& registry, platform::FileSystem& files,
                                   const std::string& appDir) {
    if (!SamePath(LastName(appDir), product::kAppFolderName))
        return {false, "this uninstaller runs from " + appDir + ", which is not a " +
                           product::kName + " program folder"};
    const std::string installed = CommandFolder(UninstallCommand(registry));
    if (!installed.empty()) {
        if (SamePath(installed, appDir))
            return {true, {}};
        return {false, std::string(product::kName) + " is installed in " + installed +
                           ", but this uninstaller runs from " + appDir};
    }
    if (files.FileExists(appDir + "\\" + product::kProgramFile))
        return {true, {}};
    return {false, std::string(product::kName) + " is not installed in " + appDir +
                       ", the folder this uninstaller runs from"};
}

} // namespace tess::uninstaller
