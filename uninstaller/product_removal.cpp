// The removal works entry by entry through the file system's tree removal, by the exact names the
// system lists, so that nothing a user plants in the folders (a link, a look-alike name) reaches out.
#include "uninstaller/product_removal.h"

#include "core/error_rules.h"
#include "core/product.h"
#include "platform/system_info.h"
#include "platform/path_text.h"

namespace tess::uninstaller {

namespace {

// More lines than this make a message box taller than the screen.
constexpr size_t kMostListed = 12;

// The product's keys below HKEY_LOCAL_MACHINE, in the order the report names those that stayed.
constexpr const char* kProductKeys[] = {product::kUninstallKey, product::kAppPathKey,
                                        product::kSettingsKey};

// A key that cannot even be opened for another reason than its absence is still there.
bool KeyExists(platform::RegistryApi& registry, const std::string& path) {
    return OpenKey(registry, platform::kHKeyLocalMachine, path).error != platform::kErrorFileNotFound;
}

// What became of a folder that was a link itself: removed as one, and what it pointed to is still
// there, untouched, to be named in the report.
struct LinkedFolder {
    bool wasLink = false;
    std::string line;  // the report's line for what it pointed to
};

// Removes `folder` as a link when it is one, naming what it pointed to, which is never entered.
LinkedFolder RemoveLinkedFolder(platform::FileTrees& files, const std::string& folder) {
    HandlerErrors<OnError::Resume> on;
    if (!files.IsLink(folder))
        return {};
    // Read before the link goes; never entered, only named.
    const Result<std::string> target = files.LinkTarget(folder);
    on.step(files.RemoveLink(folder));
    return {true, (target ? target.value() : "what " + folder + " pointed to") + ", which " + folder +
                      " was a link to"};
}

// What stayed of the application folder, as its removal found it, with the held uninstaller's
// file told apart; the registry keys; the group.
void ListWhatStayed(platform::FileTrees& files, platform::RegistryApi& registry, const std::string& appDir,
                    std::vector<std::string> left, const std::vector<std::string>& groups,
                    const std::string& heldFile, RemovalReport& report) {
    const size_t before = left.size();
    std::erase_if(left, [&](const std::string& path) { return platform::SamePath(path, heldFile); });
    if (left.empty() && before > 0 && files.FileExists(heldFile))
        report.heldFileLeft = true;
    for (size_t i = 0; i < left.size() && i < kMostListed; ++i)
        report.stayed.push_back(left[i]);
    if (left.size() > kMostListed)
        report.stayed.push_back("and " + std::to_string(left.size() - kMostListed) + " more in " + appDir);
    for (const char* key : kProductKeys) {
        if (KeyExists(registry, key))
            report.stayed.push_back(std::string("HKEY_LOCAL_MACHINE\\") + key);
    }
    for (const std::string& group : groups)
        if (!group.empty() && files.FolderExists(group))
            report.stayed.push_back(group);
}

} // namespace

bool DeleteRegKey(platform::RegistryApi& registry, platform::RegKey root, const std::string& keyPath,
                  const std::string& subKey) {
    return registry.DeleteKey(root, keyPath + "\\" + subKey) == platform::kErrorSuccess;
}

RemovalReport RemoveProduct(platform::FileTrees& files, platform::RegistryApi& registry,
                            const std::string& appDir,
                            const std::function<std::string(int csidl)>& shellFolder,
                            const std::string& heldFile,
                            const std::function<bool(const std::string&)>& setAside) {
    HandlerErrors<OnError::Resume> on;
    on.step(DeleteRegKey(registry, platform::kHKeyLocalMachine, product::kAppPathKey, ""));
    on.step(DeleteRegKey(registry, platform::kHKeyLocalMachine, product::kSettingsKey, ""));

    RemovalReport report;
    std::string group;
    LinkedFolder linkedGroup;
    if (const std::string folder = shellFolder(platform::kCsidlCommonPrograms); !folder.empty()) {
        group = folder + "\\" + product::kGroupName;
        linkedGroup = RemoveLinkedFolder(files, group);
        if (!linkedGroup.wasLink)
            (void)files.RemoveTree(group);
    }
    report.noProgramsFolder = group.empty();
    // A group an earlier version made in the user's own Programs folder, which the user may
    // write: only the shortcuts it made go, then the folder if that left it empty. Without that
    // folder no earlier group can be looked for; the product as installed now is gone all the same.
    std::string userGroup;
    if (const std::string folder = shellFolder(platform::kCsidlPrograms); !folder.empty()) {
        userGroup = folder + "\\" + product::kGroupName;
        (void)files.RemoveTree(userGroup, {std::string(product::kProgramShortcut) + ".lnk",
                                           std::string(product::kUninstallShortcut) + ".lnk"});
    }

    // The entry goes only now, while the uninstaller it names is still in place: a removal cut
    // short before this point can be run again from the system's list, and one cut short after
    // it leaves nothing the entry names.
    on.step(DeleteRegKey(registry, platform::kHKeyLocalMachine, product::kUninstallKey, ""));
    std::string held = heldFile;
    // Once moved away, the file in use no longer keeps the folder until the restart.
    if (!held.empty() && setAside && setAside(held))
        held.clear();
    // The application's files, the collection and the folders, entry by entry by their exact
    // names; what is in use stays for now.
    const LinkedFolder linkedApp = RemoveLinkedFolder(files, appDir);
    std::vector<std::string> appLeft;
    if (!linkedApp.wasLink)
        appLeft = files.RemoveTree(appDir);

    // A folder that was a link had only its link removed: what it pointed to holds the product
    // still, and the removal is not complete.
    for (const LinkedFolder& linked : {linkedApp, linkedGroup})
        if (linked.wasLink)
            report.stayed.push_back(linked.line);
    ListWhatStayed(files, registry, appDir, appLeft, {group, userGroup}, held, report);
    return report;
}

} // namespace tess::uninstaller
