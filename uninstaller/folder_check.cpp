// The application folder is recognised by its name and by the uninstall entry that the setup
// program wrote, so that no other folder is ever emptied by mistake.
#include "uninstaller/folder_check.h"

#include "core/product.h"

namespace tess::uninstaller {

namespace {

// The folder's own name, whatever separators end the path.
std::string FolderName(const std::string& path, const platform::CodePage& page) {
    return platform::LastName(platform::CanonicalPath(path, page), page);
}

std::string UninstallCommand(platform::RegistryApi& registry) {
    const platform::OpenedKey opened = OpenKey(registry, platform::kHKeyLocalMachine, product::kUninstallKey);
    if (!opened.ok())
        return {};
    return platform::RegQueryString(registry, opened.key.get(), product::kUninstallString).value_or("");
}

} // namespace

std::string CommandFolder(const std::string& uninstallCommand, const platform::CodePage& page) {
    std::string program = uninstallCommand;
    const size_t start = program.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    program.erase(0, start);
    if (program.front() == '"') {
        const size_t close = program.find('"', 1);
        program = program.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return platform::ParentFolder(program, page);
}

FolderCheck CheckApplicationFolder(platform::RegistryApi& registry, platform::Files& files,
                                   const std::string& appDir, const platform::CodePage& page) {
    if (!platform::SamePath(FolderName(appDir, page), product::kAppFolderName, page))
        return {false, "this uninstaller runs from " + appDir + ", which is not a " +
                           product::kName + " program folder"};
    const std::string installed = CommandFolder(UninstallCommand(registry), page);
    if (!installed.empty()) {
        if (platform::SamePath(installed, appDir, page))
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
