// The uninstallation proper: the product's registry keys, the Start-menu group, the uninstall
// entry and then the application folder with its files and collection, and an account of what
// stayed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/file_trees.h"
#include "platform/registry.h"

namespace tess::uninstaller {

// Deletes the key `keyPath` & "\" & `subKey` below `root` (an empty `subKey` names `keyPath`
// itself, with a trailing backslash, which the registry accepts). True when it was deleted.
bool DeleteRegKey(platform::RegistryApi& registry, platform::RegKey root, const std::string& keyPath,
                  const std::string& subKey);

struct RemovalReport {
    // What is still there afterwards, one line each as the user reads it.
    std::vector<std::string> stayed;
    // The common Programs folder could not be found, so the Start-menu group was not looked for.
    bool noProgramsFolder = false;
    // The held uninstaller file (see RemoveProduct) is the only thing left of the application
    // folder.
    bool heldFileLeft = false;
    bool complete() const { return stayed.empty() && !noProgramsFolder; }
};

// Removes the product installed in `appDir`: the application path and settings keys, the group in
// the common Programs folder, and of a group an earlier version left in the user's own Programs
// folder only the shortcuts it made, then that folder if it is empty; then the uninstall entry,
// and last the folder with everything in it; each step whatever became of the ones before. Until
// the entry goes, the programs it names are whole, so a removal cut short can be run again from
// the entry; after it, what is left is the product's own files, which the next setup takes over. The folders are emptied entry by entry by their exact
// names, links removed as links and never entered; a folder that is itself a link goes as one,
// and what it pointed to is reported as still there. A shell folder `shellFolder` does not know
// is left out rather than aimed at the root of a drive. `heldFile`, when it lies in the folder,
// is the installed uninstaller's file while a running program holds it, which cannot go until
// that program ends; `setAside`, when given, takes it out of the folder once the entry is gone
// (true when it did), and it is no longer held there.
RemovalReport RemoveProduct(platform::FileTrees& files, platform::RegistryApi& registry,
                            const std::string& appDir,
                            const std::function<std::string(int csidl)>& shellFolder,
                            const std::string& heldFile = {},
                            const std::function<bool(const std::string&)>& setAside = {});

} // namespace tess::uninstaller
