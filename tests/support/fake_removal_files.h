// An in-memory file system for the uninstaller: files and folders compared without regard to
// case, files held open by a running program, and the shell's deletion of whole folders.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/ascii_case.h"
#include "platform/file_system.h"
#include "uninstaller/removal_services.h"

namespace tess::testing {

class FakeRemovalFiles : public uninstaller::RemovalFileSystem {
public:
    // Adds a file and the folders above it (below a drive root such as "C:").
    void addFile(const std::string& path) {
        addFolder(Parent(path));
        files_[Key(path)] = path;
    }
    void addFolder(const std::string& path) {
        if (path.size() <= 2)
            return;
        addFolder(Parent(path));
        folders_.emplace(Key(path), path);
    }
    void holdOpen(const std::string& path) { inUse_.insert(Key(path)); }
    // Every operation in order, as "op path".
    std::vector<std::string> log;

    Status DeleteMatching(const std::string& folder, const std::string& pattern) override {
        log.push_back("matching " + folder + "\\" + pattern);
        int matched = 0;
        bool failed = false;
        for (const std::string& path : children(folder, false)) {
            if (!MatchesPattern(Name(path), pattern))
                continue;
            ++matched;
            failed |= !erase(path);
        }
        if (matched == 0 || failed)
            return Error{matched == 0 ? ErrorCode::FileNotFound : ErrorCode::DeleteFailed, folder};
        return Status::Ok();
    }
    Status RemoveFile(const std::string& path) override {
        log.push_back("delete " + path);
        if (!files_.count(Key(path)))
            return Error{ErrorCode::FileNotFound, path};
        return erase(path) ? Status::Ok() : Status(Error{ErrorCode::DeleteFailed, path});
    }
    Status RemoveFolder(const std::string& path) override {
        log.push_back("rmdir " + path);
        if (!folders_.count(Key(path)))
            return Error{ErrorCode::FileNotFound, path};
        if (!ListTree(path).empty())
            return Error{ErrorCode::DeleteFailed, path};
        folders_.erase(Key(path));
        return Status::Ok();
    }
    Status ShellDelete(const std::string& path, bool filesOnly) override {
        log.push_back(std::string(filesOnly ? "shell-files " : "shell-all ") + path);
        if (files_.count(Key(path)))
            return erase(path) ? Status::Ok() : Status(Error{ErrorCode::DeleteFailed, path});
        if (!folders_.count(Key(path)))
            return Error{ErrorCode::FileNotFound, path};
        std::vector<std::string> tree = ListTree(path);
        bool failed = false;
        for (const std::string& item : tree)
            if (files_.count(Key(item)))
                failed |= !erase(item);
        // Deepest folders first, each only when it is empty now.
        std::sort(tree.begin(), tree.end(),
                  [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
        tree.push_back(path);
        for (const std::string& item : tree)
            if (folders_.count(Key(item)) && ListTree(item).empty())
                folders_.erase(Key(item));
        return failed ? Status(Error{ErrorCode::DeleteFailed, path}) : Status::Ok();
    }
    bool FileExists(const std::string& path) override { return files_.count(Key(path)) > 0; }
    bool FolderExists(const std::string& path) override { return folders_.count(Key(path)) > 0; }
    std::vector<std::string> ListTree(const std::string& folder) override {
        return children(folder, true);
    }

private:
    static std::string Key(const std::string& path) {
        return AsciiLower(path);
    }
    static std::string Parent(const std::string& path) {
        const size_t slash = path.find_last_of('\\');
        return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
    static std::string Name(const std::string& path) {
        return path.substr(path.find_last_of('\\') + 1);
    }
    bool erase(const std::string& path) {
        if (inUse_.count(Key(path)))
            return false;
        files_.erase(Key(path));
        return true;
    }
    std::vector<std::string> children(const std::string& folder, bool deep) const {
        const std::string prefix = Key(folder) + "\\";
        std::vector<std::string> found;
        const auto take = [&](const std::map<std::string, std::string>& items, bool isFile) {
            for (const auto& [key, path] : items) {
                if (key.rfind(prefix, 0) != 0)
                    continue;
                const bool direct = key.find('\\', prefix.size()) == std::string::npos;
                if (deep || (direct && isFile))
                    found.push_back(path);
            }
        };
        take(files_, true);
        take(folders_, false);
        return found;
    }

    std::map<std::string, std::string> files_;
    std::map<std::string, std::string> folders_;
    std::set<std::string> inUse_;
};

} // namespace tess::testing
