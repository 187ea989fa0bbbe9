// Each deletion repeats or follows up the ones before it (wildcards, then names, then the shell's
// folder deletion), so that a file one step could not take is taken by a later one.
#include "uninstaller/product_removal.h"

#include "core/collection_naming.h"
#include "core/product.h"
#include "platform/path_text.h"
#include "ui/error_rules.h"

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

// What became of a folder that was a link itself: removed as one, and what it pointed to is still
// there, untouched, to be named in the report.
struct LinkedFolder {
    bool wasLink = false;
    std::string line;  // the report's line for what it pointed to
};

// Removes the links in `folder` as links, or the folder itself when it is one: the deletions
// that follow work by path, and the shell's may enter a junction and empty what it points to.
LinkedFolder RemoveLinks(platform::FileSystem& files, const std::string& folder) {
    ui::HandlerErrors<ui::OnError::Resume> on;
    if (files.IsLink(folder)) {
        // Read before the link goes; never entered, only named.
        const Result<std::string> target = files.LinkTarget(folder);
        on.step(files.RemoveLink(folder));
        return {true, (target ? target.value() : "what " + folder + " pointed to") + ", which " + folder +
                          " was a link to"};
    }
    for (const std::string& path : files.ListTree(folder))
        if (files.IsLink(path))
            on.step(files.RemoveLink(path));
    return {};
}

void ListWhatStayed(platform::FileSystem& files, RegistryApi& registry, const std::string& appDir,
                    const std::string& group, const std::string& heldFile, RemovalReport& report) {
    if (files.FolderExists(appDir)) {
        std::vector<std::string> left = files.ListTree(appDir);
        std::erase_if(left, [&](const std::string& path) { return platform::SamePath(path, heldFile); });
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

RemovalReport RemoveProduct(platform::FileSystem& files, RegistryApi& registry,
                            const std::string& appDir,
                            const std::function<std::string()>& programsFolder,
                            const std::string& heldFile) {
    ui::HandlerErrors<ui::OnError::Resume> on;
    const LinkedFolder linkedApp = RemoveLinks(files, appDir);
    const bool appDirWasLink = linkedApp.wasLink;
    if (!appDirWasLink) {
        // The application's files and the collection; what is in use stays for now.
        on.step(files.DeleteMatching(appDir, "*.*"));
        on.step(files.RemoveFile(appDir + "\\" + product::kProgramFile));
        on.step(files.RemoveFile(appDir + "\\" + product::kSkinFile));
        on.step(files.DeleteMatching(CollectionFolder(appDir), "*.*"));
        on.step(files.DeleteMatching(appDir, "*.*"));
        on.step(files.RemoveFolder(CollectionFolder(appDir)));
    }

    for (const char* key : kProductKeys)
        on.step(DeleteRegKey(registry, kHKeyLocalMachine, key, ""));

    if (!appDirWasLink) {
        on.step(files.ShellDelete(CollectionFolder(appDir), true));
        on.step(files.ShellDelete(appDir, true));
    }

    const std::string groupName = std::string("\\") + product::kGroupName;
    RemovalReport report;
    std::string group;
    LinkedFolder linkedGroup;
    if (const std::string folder = programsFolder(); !folder.empty()) {
        group = folder + groupName;
        linkedGroup = RemoveLinks(files, group);
        if (!linkedGroup.wasLink)
            on.step(files.ShellDelete(group, true));
    }
    if (const std::string folder = programsFolder(); !folder.empty())
        on.step(files.RemoveFolder(folder + groupName));
    if (const std::string folder = programsFolder();
        !folder.empty() && !RemoveLinks(files, folder + groupName).wasLink)
        on.step(files.ShellDelete(folder + groupName, false));
    report.noProgramsFolder = group.empty();

    // A folder that was a link had only its link removed: what it pointed to holds the product
    // still, and the removal is not complete.
    for (const LinkedFolder& linked : {linkedApp, linkedGroup})
        if (linked.wasLink)
            report.stayed.push_back(linked.line);
    ListWhatStayed(files, registry, appDir, group, heldFile, report);
    return report;
}

} // namespace tess::uninstaller
