// Each deletion repeats or follows up the ones before it (wildcards, then names, then the shell's
// folder deletion), so that a file one step could not take is taken by a later one.
#include "uninstaller/product_removal.h"

#include "core/collection_naming.h"
#include "core/product.h"
#include "uninstaller/folder_check.h"

namespace tess::uninstaller {

namespace {

// More lines than this make a message box taller than the screen.
constexpr size_t kMostListed = 12;

// The product's keys below HKEY_LOCAL_MACHINE, in the order they are deleted.
constexpr const char* kProductKeys[] = {product::kUninstallKey, product::kAppPathKey,
                                        product::kSettingsKey};

// A key that cannot even be opened for another reason than its absence is still there.
bool KeyExists(RegistryApi& registry, const std::string& path) {
    return OpenKey(registry, kHKeyLocalMachine, path).error != kErrorFileNotFound;
}

// Removes the links in `folder` as links, or the folder itself when it is one: the deletions
// that follow work by path, and the shell's may enter a junction and empty what it points to.
// True when `folder` was a link, so that nothing of the product lies behind that path.
bool RemoveLinks(RemovalFileSystem& files, const std::string& folder) {
    if (files.IsLink(folder)) {
        (void)files.RemoveLink(folder);
        return true;
    }
    for (const std::string& path : files.ListTree(folder))
        if (files.IsLink(path))
            (void)files.RemoveLink(path);
    return false;
}

void ListWhatStayed(RemovalFileSystem& files, RegistryApi& registry, const std::string& appDir,
                    const std::string& group, const std::string& heldFile, RemovalReport& report) {
    if (files.FolderExists(appDir)) {
        std::vector<std::string> left = files.ListTree(appDir);
        std::erase_if(left, [&](const std::string& path) { return SamePath(path, heldFile); });
        if (left.empty() && !heldFile.empty() && files.FileExists(heldFile))
            report.heldFileLeft = true;
        else if (left.empty())
            report.stayed.push_back(appDir);
        for (size_t i = 0; i < left.size() && i < kMostListed; ++i)
            report.stayed.push_back(left[i]);
        if (left.size() > kMostListed)
            report.stayed.push_back("and " + std::to_string(left.size() - kMostListed) +
                                    " more in " + appDir);
    }
    for (const char* key : kProductKeys) {
        if (KeyExists(registry, key))
            report.stayed.push_back(std::string("HKEY_LOCAL_MACHINE\\") + key);
    }
    if (!group.empty() && files.FolderExists(group))
        report.stayed.push_back(group);
}

} // namespace

bool DeleteRegKey(RegistryApi& registry, RegKey root, const std::string& keyPath,
                  const std::string& subKey) {
    return registry.DeleteKey(root, keyPath + "\\" + subKey) == kErrorSuccess;
}

RemovalReport RemoveProduct(RemovalFileSystem& files, RegistryApi& registry,
                            const std::string& appDir,
                            const std::function<std::string()>& programsFolder,
                            const std::string& heldFile) {
    const bool appDirWasLink = RemoveLinks(files, appDir);
    if (!appDirWasLink) {
        // The application's files and the collection; what is in use stays for now.
        (void)files.DeleteMatching(appDir, "*.*");
        (void)files.RemoveFile(appDir + "\\" + product::kProgramFile);
        (void)files.RemoveFile(appDir + "\\" + product::kSkinFile);
        (void)files.DeleteMatching(CollectionFolder(appDir), "*.*");
        (void)files.DeleteMatching(appDir, "*.*");
        (void)files.RemoveFolder(CollectionFolder(appDir));
    }

    for (const char* key : kProductKeys)
        (void)DeleteRegKey(registry, kHKeyLocalMachine, key, "");

    if (!appDirWasLink) {
        (void)files.ShellDelete(CollectionFolder(appDir), true);
        (void)files.ShellDelete(appDir, true);
    }

    const std::string groupName = std::string("\\") + product::kGroupName;
    RemovalReport report;
    std::string group;
    if (const std::string folder = programsFolder(); !folder.empty()) {
        group = folder + groupName;
        if (!RemoveLinks(files, group))
            (void)files.ShellDelete(group, true);
    }
    if (const std::string folder = programsFolder(); !folder.empty())
        (void)files.RemoveFolder(folder + groupName);
    if (const std::string folder = programsFolder();
        !folder.empty() && !RemoveLinks(files, folder + groupName))
        (void)files.ShellDelete(folder + groupName, false);
    report.noProgramsFolder = group.empty();

    ListWhatStayed(files, registry, appDir, group, heldFile, report);
    return report;
}

} // namespace tess::uninstaller
