// A file system of drives and folders held in memory for the folder and drive lists: drives
// with descriptions, drives that cannot be read, and a current folder per drive.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ui/folder_system.h"

namespace tess::testing {

class FakeFolderSystem : public ui::FolderSystem {
public:
    // A drive, lower-case letter; an unreadable one fails every listing, as a drive without its
    // medium does.
    void addDrive(char letter, std::string description, bool readable = true) {
        drives_.push_back({letter, std::move(description)});
        if (!readable) unreadable_.insert(letter);
        current_[letter] = std::string(1, static_cast<char>(std::toupper(letter))) + ":\\";
    }
    // A folder by its full path, e.g. "C:\\Program Files\\Common"; the folders above it are
    // added too.
    void addFolder(const std::string& path) {
        for (size_t end = path.find('\\', 3); ; end = path.find('\\', end + 1)) {
            const std::string prefix = path.substr(0, end);
            folders_.insert(Key(prefix));
            names_[Key(prefix)] = prefix;
            if (end == std::string::npos) break;
        }
    }
    void setCurrentFolder(char drive, std::string path) { current_[drive] = std::move(path); }
    void setCurrentDrive(char drive) { currentDrive_ = drive; }
    int listings = 0;

    std::vector<ui::DriveInfo> drives() const override { return drives_; }
    char currentDrive() const override { return currentDrive_; }
    Result<std::string> currentFolder(char drive) const override {
        auto it = current_.find(drive);
        if (it == current_.end() || unreadable_.count(drive))
            return Error{ErrorCode::CannotOpen, "not ready"};
        return it->second;
    }
    Result<std::vector<std::string>> subfolders(const std::string& folder) const override {
        ++const_cast<FakeFolderSystem*>(this)->listings;
        const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(folder[0])));
        if (unreadable_.count(drive)) return Error{ErrorCode::CannotOpen, "not ready"};
        const std::string key = Key(folder);
        const bool root = key.size() == 3;
        if (!root && !folders_.count(key)) return Error{ErrorCode::FileNotFound, "no folder"};
        if (root && !std::any_of(drives_.begin(), drives_.end(),
                                 [&](const ui::DriveInfo& d) { return d.letter == drive; }))
            return Error{ErrorCode::FileNotFound, "no drive"};
        const std::string prefix = root ? key : key + "\\";
        std::vector<std::string> names;
        for (const std::string& f : folders_) {
            if (f.size() <= prefix.size() || f.compare(0, prefix.size(), prefix) != 0) continue;
            if (f.find('\\', prefix.size()) != std::string::npos) continue;
            const std::string& real = names_.count(f) ? names_.at(f) : f;
            names.push_back(real.substr(real.rfind('\\') + 1));
        }
        return names;
    }

private:
    // Paths compare without regard to case, as the system's do.
    static std::string Key(std::string path) {
        for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return path;
    }
    std::vector<ui::DriveInfo> drives_;
    std::set<char> unreadable_;
    std::map<char, std::string> current_;
    std::set<std::string> folders_;
    std::map<std::string, std::string> names_;
    char currentDrive_ = 'c';
};

} // namespace tess::testing
