// An in-memory file system for the uninstaller: files and folders compared without regard to
// case, files held open by a running program, links that paths resolve through, and the shell's
// deletion of whole folders, which (as some versions of the system do) enters folder links.
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
    // A junction or symbolic link at `path` to `target` (a folder, or a file when `folder` is
    // false). Paths below it resolve to the target, as the system's do.
    void addLink(const std::string& path, const std::string& target, bool folder) {
        addFolder(Parent(path));
        links_[Key(path)] = {path, target, folder};
    }
    void holdOpen(const std::string& path) { inUse_.insert(Key(path)); }
    // Takes a file out of the tree as a move elsewhere does, which works for a program in use.
    void moveAway(const std::string& path) {
        inUse_.erase(Key(path));
        files_.erase(Key(path));
    }
    // Every operation in order, as "op path".
    std::vector<std::string> log;

    Status DeleteMatching(const std::string& folder, const std::string& pattern) override {
        log.push_back("matching " + folder + "\\" + pattern);
        int matched = 0;
        bool failed = false;
        for (const std::string& path : children(Followed(folder), false)) {
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
        const std::string at = Through(path);
        if (!files_.count(Key(at)) && !isLink(at, false))
            return Error{ErrorCode::FileNotFound, path};
        return erase(at) ? Status::Ok() : Status(Error{ErrorCode::DeleteFailed, path});
    }
    Status RemoveFolder(const std::string& path) override {
        log.push_back("rmdir " + path);
        const std::string at = Through(path);
        if (isLink(at, true))
            return erase(at) ? Status::Ok() : Status(Error{ErrorCode::DeleteFailed, path});
        if (!folders_.count(Key(at)))
            return Error{ErrorCode::FileNotFound, path};
        if (!children(at, true).empty())
            return Error{ErrorCode::DeleteFailed, path};
        folders_.erase(Key(at));
        return Status::Ok();
    }
    Status ShellDelete(const std::string& path, bool filesOnly) override {
        log.push_back(std::string(filesOnly ? "shell-files " : "shell-all ") + path);
        return shellDelete(Through(path));
    }
    bool IsLink(const std::string& path) override { return links_.count(Key(Through(path))) > 0; }
    Status RemoveLink(const std::string& path) override {
        log.push_back("unlink " + path);
        const std::string at = Through(path);
        if (!links_.count(Key(at)))
            return Error{ErrorCode::InvalidArgument, path + " is not a link"};
        links_.erase(Key(at));
        return Status::Ok();
    }
    bool FileExists(const std::string& path) override {
        const std::string at = Through(path);
        return files_.count(Key(at)) > 0 || isLink(at, false);
    }
    bool FolderExists(const std::string& path) override {
        const std::string at = Through(path);
        return folders_.count(Key(at)) > 0 || isLink(at, true);
    }
    std::vector<std::string> ListTree(const std::string& folder) override {
        return children(Followed(folder), true);
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
    struct Link {
        std::string path;
        std::string target;
        bool folder;
    };
    bool isLink(const std::string& path, bool folder) const {
        const auto link = links_.find(Key(path));
        return link != links_.end() && link->second.folder == folder;
    }
    // `path` with each link above its last name replaced by the link's target; a loop of links
    // is given up after a few turns, as the system does.
    std::string Through(const std::string& path) const {
        std::string at = path;
        for (int turn = 0; turn < 32; ++turn) {
            const std::string key = Key(at);
            const auto above = std::find_if(links_.begin(), links_.end(), [&](const auto& link) {
                return key.size() > link.first.size() && key.rfind(link.first + "\\", 0) == 0;
            });
            if (above == links_.end())
                break;
            at = above->second.target + at.substr(above->first.size());
        }
        return at;
    }
    // The same with the last name followed too, as a listing of "link\\*" is.
    std::string Followed(const std::string& path) const {
        std::string at = Through(path);
        for (int turn = 0; turn < 32 && links_.count(Key(at)); ++turn)
            at = Through(links_.at(Key(at)).target);
        return at;
    }
    // A file, or a link of either kind, unless a program holds it.
    bool erase(const std::string& path) {
        if (inUse_.count(Key(path)))
            return false;
        files_.erase(Key(path));
        links_.erase(Key(path));
        return true;
    }
    // Files and file links go; a folder link is entered and what it points to deleted, then the
    // link goes; folders go deepest first, each once it is empty.
    Status shellDelete(const std::string& path) {
        if (files_.count(Key(path)) || isLink(path, false))
            return erase(path) ? Status::Ok() : Status(Error{ErrorCode::DeleteFailed, path});
        const bool folderLink = isLink(path, true);
        if (!folders_.count(Key(path)) && !folderLink)
            return Error{ErrorCode::FileNotFound, path};
        if (folderLink) {
            const Status behind = shellDelete(Followed(path));
            links_.erase(Key(path));
            return behind;
        }
        std::vector<std::string> tree = children(path, true);
        bool failed = false;
        for (const std::string& item : tree)
            if (files_.count(Key(item)) || links_.count(Key(item)))
                failed |= !shellDelete(item).ok();
        std::sort(tree.begin(), tree.end(),
                  [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
        tree.push_back(path);
        for (const std::string& item : tree)
            if (folders_.count(Key(item)) && children(item, true).empty())
                folders_.erase(Key(item));
        return failed ? Status(Error{ErrorCode::DeleteFailed, path}) : Status::Ok();
    }
    // What lies in `folder` (everything below it when `deep`, else only its files and file
    // links), links listed but not entered.
    std::vector<std::string> children(const std::string& folder, bool deep) const {
        const std::string prefix = Key(folder) + "\\";
        std::vector<std::string> found;
        const auto take = [&](const std::string& key, const std::string& path, bool isFile) {
            if (key.rfind(prefix, 0) != 0)
                return;
            const bool direct = key.find('\\', prefix.size()) == std::string::npos;
            if (deep || (direct && isFile))
                found.push_back(path);
        };
        for (const auto& [key, path] : files_)
            take(key, path, true);
        for (const auto& [key, path] : folders_)
            take(key, path, false);
        for (const auto& [key, link] : links_)
            take(key, link.path, !link.folder);
        return found;
    }

    std::map<std::string, std::string> files_;
    std::map<std::string, std::string> folders_;
    std::map<std::string, Link> links_;
    std::set<std::string> inUse_;
};

} // namespace tess::testing
