// The in-memory file system of the tests: drives, folders, files and links whose names compare
// without regard to case, files held by other programs, names the code page cannot spell, and a
// death of the program after a given change. The file system cases check it against Wine's.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/ascii_case.h"
#include "platform/file_errors.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "tests/support/crash_clock.h"

namespace tess::testing {

class MemoryFileSystem : public platform::FileSystem {
public:
    // Drive C:, readable and without a label, as every system has.
    MemoryFileSystem() { addDrive('c', ""); }

    // Setting up. What is added is there without being logged; the folders above it and its
    // drive are added too.

    // A drive, replacing one of the same letter. An unreadable one fails every listing, as a
    // drive without its medium does.
    void addDrive(char letter, std::string description, bool readable = true,
                  uint32_t type = platform::Drives::Fixed) {
        letter = AsciiLower(letter);
        std::erase_if(drives_, [&](const platform::DriveInfo& d) { return d.letter == letter; });
        drives_.push_back({letter, std::move(description)});
        std::sort(drives_.begin(), drives_.end(),
                  [](const platform::DriveInfo& a, const platform::DriveInfo& b) { return a.letter < b.letter; });
        if (readable)
            unreadable_.erase(letter);
        else
            unreadable_.insert(letter);
        current_[letter] = std::string(1, static_cast<char>(letter - 'a' + 'A')) + ":\\";
        types_[letter] = type;
    }
    void addFolder(const std::string& path) {
        const std::string at = Normal(path);
        if (IsRoot(at)) {
            if (!hasDrive(at[0]))
                addDrive(at[0], "");
            return;
        }
        addFolder(Parent(at));
        if (!entries_.count(Key(at)))
            entries_[Key(at)] = Entry{at, Kind::Folder, {}, {}, false};
    }
    // A name with '?' stands for one the code page cannot spell exactly, as the system lists it:
    // no call finds anything by it, but listings show it and the deletions by listing take it.
    void addFile(const std::string& path, std::string bytes = "x") {
        const std::string at = Normal(path);
        addFolder(Parent(at));
        entries_[Key(at)] = Entry{at, Kind::File, std::move(bytes), {}, false};
    }
    // A junction or symbolic link at `path` to `target` (a folder, or a file when `folder` is
    // false). Paths below it resolve to the target, as the system's do.
    void addLink(const std::string& path, const std::string& target, bool folder) {
        const std::string at = Normal(path);
        addFolder(Parent(at));
        entries_[Key(at)] = {at, Kind::Link, {}, Normal(target), folder};
    }
    // A file held open by a program that gives no leave to delete it: it can be neither
    // deleted, replaced nor moved.
    void holdOpen(const std::string& path) { held_[Key(Through(Normal(path)))] = Hold::Open; }
    // A running program's file: the system keeps it from being deleted or replaced, but lets it
    // move within its volume.
    void run(const std::string& path) { held_[Key(Through(Normal(path)))] = Hold::Running; }
    void release(const std::string& path) { held_.erase(Key(Through(Normal(path)))); }
    // A file with the read-only attribute: the system neither replaces nor deletes it by name.
    void markReadOnly(const std::string& path) {
        if (Entry* file = findMutable(Through(Normal(path))); file && file->kind == Kind::File)
            file->readOnly = true;
    }
    bool isReadOnly(const std::string& path) const {
        const Entry* file = find(Through(Normal(path)));
        return file && file->readOnly;
    }
    // A folder where nothing can be created, replaced or deleted, as a standard user finds the
    // system's program folders.
    void refuseWritesIn(const std::string& folder) { refused_.insert(Key(Through(Normal(folder)))); }
    // A folder whose entries cannot be listed (no leave to read it, or a path too long for the
    // calls that list it).
    void refuseListing(const std::string& folder) { unlistable_.insert(Key(Through(Normal(folder)))); }
    void setCurrentFolder(char drive, std::string path) { current_[AsciiLower(drive)] = std::move(path); }
    void setCurrentDrive(char drive) { currentDrive_ = AsciiLower(drive); }

    // Reading back.

    // The bytes of a file (through links), or nothing.
    std::optional<std::string> contents(const std::string& path) const {
        const Entry* file = find(Followed(Normal(path)));
        if (!file || file->kind != Kind::File)
            return std::nullopt;
        return file->bytes;
    }
    // Every change asked for, in order, as "op path": mkdir, write, move (from " to " to),
    // delete, delete-plain, unlink, writable (the read-only attribute taken off) and tree.
    std::vector<std::string> log;
    // Called with each entry as it is logged, before the change is made: a test changes the file
    // system there as another program could at that moment.
    std::function<void(const std::string&)> beforeChange;
    // The log's entries of one operation, e.g. every "mkdir".
    std::vector<std::string> logged(const std::string& op) const {
        std::vector<std::string> found;
        for (const std::string& entry : log)
            if (entry.rfind(op + " ", 0) == 0)
                found.push_back(entry.substr(op.size() + 1));
        return found;
    }
    // How often folders were listed.
    int listings = 0;
    // The clock this file system counts its changes on (with a registry that shares it): each
    // change above is one, but for a replacing write, which is two as on the system (its
    // "<name>.partial" written, then moved over the name), and a tree's removal, which is one
    // for the request and one for each entry removed. Once it stops, every call fails.
    CrashClock* clock = nullptr;

    // Every file, folder and link as made, by path in its own case: "file " and the bytes,
    // "folder", or "link " and the target.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> all;
        for (const auto& [key, entry] : entries_)
            all[entry.path] = entry.kind == Kind::File     ? "file " + entry.bytes
                              : entry.kind == Kind::Folder ? std::string("folder")
                                                           : "link " + entry.target;
        return all;
    }
    // The same files after the program died and the computer started again: what was written
    // stays, no program holds a file any more, nothing is logged and no clock runs.
    MemoryFileSystem restarted() const {
        MemoryFileSystem after = *this;
        after.held_.clear();
        after.log.clear();
        after.beforeChange = nullptr;
        after.clock = nullptr;
        after.listings = 0;
        return after;
    }

    // The file system.

    Result<uint64_t> FileLength(const std::string& path) override {
        if (dead())
            return Died(path);
        const std::string at = Followed(Normal(path));
        if (isFolder(at))
            return Error{ErrorCode::CannotOpen, "Not a file: " + path};
        const Entry* file = find(at);
        if (path.empty() || !file || file->kind != Kind::File)
            return NotFound(path);
        return static_cast<uint64_t>(file->bytes.size());
    }
    bool FileExists(const std::string& path) override {
        if (dead())
            return false;
        const Entry* entry = find(Through(Normal(path)));
        return !path.empty() && entry && (entry->kind == Kind::File || (entry->kind == Kind::Link && !entry->folderLink));
    }
    bool FolderExists(const std::string& path) override {
        if (dead())
            return false;
        const std::string at = Through(Normal(path));
        const Entry* entry = find(at);
        return !path.empty() && (isFolder(at) || (entry && entry->kind == Kind::Link && entry->folderLink));
    }
    bool IsLink(const std::string& path) override {
        if (dead())
            return false;
        const Entry* entry = find(Through(Normal(path)));
        return entry && entry->kind == Kind::Link;
    }
    Result<std::string> LinkTarget(const std::string& path) override {
        if (dead())
            return Died(path);
        const Entry* entry = find(Through(Normal(path)));
        if (!entry || entry->kind != Kind::Link)
            return Error{ErrorCode::InvalidArgument, path + " is not a link"};
        return entry->target;
    }
    Result<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override {
        if (dead())
            return Died(folder);
        const std::string at = Followed(Normal(folder));
        if (!readable(at) || !isFolder(at))
            return Error{ErrorCode::FileNotFound, "Cannot list " + folder};
        std::vector<std::string> names;
        for (const Entry* entry : children(at, false))
            if (isFileLike(*entry) && Spelled(Name(entry->path)) && platform::MatchesPattern(Name(entry->path), pattern))
                names.push_back(Name(entry->path));
        platform::SortNamesWithoutCase(names);
        return names;
    }
    Result<std::vector<std::string>> ListFolders(const std::string& folder) override {
        ++listings;
        if (dead())
            return Died(folder);
        const std::string at = Followed(Normal(folder));
        if (!readable(at))
            return Error{ErrorCode::CannotOpen, "The drive of " + folder + " is not ready"};
        if (!isFolder(at))
            return Error{ErrorCode::FileNotFound, "The folder " + folder + " cannot be read"};
        std::vector<std::string> names;
        for (const Entry* entry : children(at, false))
            if (!isFileLike(*entry) && Spelled(Name(entry->path)))
                names.push_back(Name(entry->path));
        platform::SortNamesWithoutCase(names);
        return names;
    }
    std::vector<std::string> ListTree(const std::string& folder) override {
        const std::string given = Normal(folder);
        const std::string at = Followed(given);
        std::vector<std::string> found;
        if (dead() || !readable(at) || !isFolder(at))
            return found;
        // Named below the folder as given, as the system's listing of "folder\*" names them.
        for (const Entry* entry : children(at, true))
            found.push_back(given + entry->path.substr(at.size()));
        return found;
    }
    Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t maxBytes) override {
        if (dead())
            return Died(path);
        const std::string at = Followed(Normal(path));
        if (isFolder(at))
            return Error{ErrorCode::CannotOpen, "Cannot open " + path + ": it is a folder"};
        const Entry* file = find(at);
        if (path.empty() || !file || file->kind != Kind::File)
            return NotFound(path);
        if (file->bytes.size() > maxBytes)
            return Error{ErrorCode::FileTooLarge, path + " is too long"};
        return std::vector<uint8_t>(file->bytes.begin(), file->bytes.end());
    }

    Status CreateFolder(const std::string& path) override {
        if (!note("mkdir " + path))
            return Died(path);
        const std::string at = Through(Normal(path));
        if (path.empty())
            return Error{ErrorCode::InvalidArgument, "Not a folder name"};
        if (FolderExists(at))
            return Error{ErrorCode::AlreadyExists, "The folder exists already: " + path};
        if (find(at) || !isFolder(Followed(Parent(at))) || refused(at))
            return Error{ErrorCode::WriteFailed, "Cannot create the folder " + path};
        entries_[Key(at)] = Entry{at, Kind::Folder, {}, {}, false};
        return Status::Ok();
    }
    Status WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) override {
        if (!note("write " + path))
            return Died(path);
        const std::string at = Through(Normal(path));
        const Entry* there = find(at);
        if (path.empty() || isFolder(at) || (there && there->kind == Kind::Link && there->folderLink) ||
            !isFolder(Followed(Parent(at))) || held_.count(Key(at)) || refused(at) || (there && there->readOnly))
            return Error{ErrorCode::WriteFailed, "Cannot write " + path};
        // Written beside the name first, replacing what an earlier write left there, then moved
        // over the name: a death before the move leaves it there.
        const std::string partial = platform::PartialFileName(at);
        entries_[Key(partial)] = Entry{partial, Kind::File, std::string(bytes.begin(), bytes.end()), {}, false};
        if (clock && !clock->change())
            return Died(path);
        entries_.erase(Key(partial));
        entries_[Key(at)] = Entry{at, Kind::File, std::string(bytes.begin(), bytes.end()), {}, false};
        return Status::Ok();
    }
    Status MoveReplacing(const std::string& from, const std::string& to) override {
        if (!note("move " + from + " to " + to))
            return Died(from);
        const std::string source = Through(Normal(from)), target = Through(Normal(to));
        const Entry* moving = find(source);
        if (!moving || !isFileLike(*moving))
            return Error{ErrorCode::FileNotFound, "could not move " + from};
        if (!isFolder(Followed(Parent(target))))
            return Error{ErrorCode::FileNotFound, "could not move " + from + " to " + to};
        const auto hold = held_.find(Key(source));
        // Nothing is copied: another volume, a file held open, a folder or a held file in the way
        // all leave both as they were.
        const Entry* replaced = find(target);
        if (AsciiLower(source[0]) != AsciiLower(target[0]) || (hold != held_.end() && hold->second == Hold::Open) ||
            isFolder(target) || held_.count(Key(target)) || refused(source) || refused(target) ||
            (replaced && replaced->readOnly))
            return Error{ErrorCode::WriteFailed, "could not move " + from + " to " + to};
        Entry moved = *moving;
        moved.path = target;
        entries_.erase(Key(source));
        entries_[Key(target)] = moved;
        if (hold != held_.end()) {
            const Hold kind = hold->second;
            held_.erase(hold);
            held_[Key(target)] = kind;
        }
        return Status::Ok();
    }
    Status RemoveFile(const std::string& path) override {
        if (!note("delete " + path))
            return Died(path);
        const std::string at = Through(Normal(path));
        const Entry* entry = find(at);
        if (!entry && !isFolder(at))
            return NotFound(path);
        if (!entry || !isFileLike(*entry) || entry->readOnly || refused(at) || !erase(at))
            return Error{ErrorCode::DeleteFailed, "Cannot delete " + path};
        return Status::Ok();
    }
    Status RemoveLink(const std::string& path) override {
        if (!note("unlink " + path))
            return Died(path);
        const std::string at = Through(Normal(path));
        const Entry* entry = find(at);
        if (!entry)
            return NotFound(path);
        if (entry->kind != Kind::Link)
            return Error{ErrorCode::InvalidArgument, path + " is not a link"};
        return erase(at) ? Status::Ok() : Status(Error{ErrorCode::DeleteFailed, path});
    }
    Status ClearReadOnly(const std::string& path) override {
        if (!note("writable " + path))
            return Died(path);
        Entry* file = findMutable(Through(Normal(path)));
        if (!file)
            return NotFound(path);
        if (file->kind != Kind::File)
            return Error{ErrorCode::InvalidArgument, path + " is not a plain file"};
        file->readOnly = false;
        return Status::Ok();
    }
    Status RemovePlainFile(const std::string& path) override {
        if (!note("delete-plain " + path))
            return Died(path);
        const std::string at = Through(Normal(path));
        const Entry* entry = find(at);
        if (!entry && !isFolder(at))
            return NotFound(path);
        if (!entry || entry->kind != Kind::File)
            return Error{ErrorCode::InvalidArgument, path + " is not a plain file"};
        if (refused(at) || !erase(at))
            return Error{ErrorCode::DeleteFailed, "Cannot delete " + path};
        return Status::Ok();
    }
    std::vector<std::string> RemoveTree(const std::string& folder, const std::vector<std::string>& only = {}) override {
        std::string entry = "tree " + folder;
        for (size_t i = 0; i < only.size(); ++i)
            entry += (i == 0 ? " only " : ", ") + only[i];
        if (!note(entry))
            return {folder};
        std::vector<std::string> stayed;
        (void)removeTree(Through(Normal(folder)), Normal(folder), stayed, &only);
        return stayed;
    }

    std::vector<platform::DriveInfo> List() override { return dead() ? std::vector<platform::DriveInfo>{} : drives_; }
    Result<std::string> CurrentFolder(char drive) override {
        if (dead())
            return Died(std::string(1, drive));
        const auto found = current_.find(AsciiLower(drive));
        if (found == current_.end() || unreadable_.count(AsciiLower(drive)))
            return Error{ErrorCode::CannotOpen, "The drive is not ready"};
        return found->second;
    }
    char CurrentDrive() override { return currentDrive_; }
    uint32_t Type(char letter) override {
        const auto found = types_.find(AsciiLower(letter));
        return found == types_.end() ? platform::Drives::NoRootDir : found->second;
    }

private:
    enum class Kind { File, Folder, Link };
    enum class Hold { Open, Running };
    struct Entry {
        std::string path;  // as it was made, in its own case
        Kind kind = Kind::File;
        std::string bytes;
        std::string target;  // of a link
        bool folderLink = false;
        bool readOnly = false;
    };

    static Error NotFound(const std::string& path) { return Error{ErrorCode::FileNotFound, "File not found: " + path}; }
    static Error Died(const std::string& path) { return Error{ErrorCode::CannotOpen, "The program died before " + path}; }
    bool dead() const { return clock && clock->stopped(); }
    // One change of a tree's removal; false once the program has died.
    bool tick() { return !clock || clock->change(); }
    // Backslashes only, no doubled ones (the system reads "C:\\\\Tessary" as "C:\\Tessary"), no
    // trailing one; a drive's root is "C:".
    static std::string Normal(const std::string& path) {
        std::string out;
        for (char c : path) {
            if (c == '/')
                c = '\\';
            if (c == '\\' && !out.empty() && out.back() == '\\')
                continue;
            out.push_back(c);
        }
        while (!out.empty() && out.back() == '\\')
            out.pop_back();
        return out;
    }
    static std::string Key(const std::string& normal) { return AsciiLower(normal); }
    static bool IsRoot(const std::string& normal) { return normal.size() == 2 && normal[1] == ':'; }
    static std::string Parent(const std::string& normal) {
        const size_t slash = normal.find_last_of('\\');
        return slash == std::string::npos ? std::string() : normal.substr(0, slash);
    }
    static std::string Name(const std::string& normal) { return normal.substr(normal.find_last_of('\\') + 1); }
    static bool isFileLike(const Entry& entry) {
        return entry.kind == Kind::File || (entry.kind == Kind::Link && !entry.folderLink);
    }

    bool hasDrive(char letter) const {
        return std::any_of(drives_.begin(), drives_.end(),
                           [&](const platform::DriveInfo& d) { return d.letter == AsciiLower(letter); });
    }
    bool readable(const std::string& normal) const {
        return normal.empty() || !unreadable_.count(AsciiLower(normal[0]));
    }
    const Entry* find(const std::string& normal) const {
        const auto found = entries_.find(Key(normal));
        return found == entries_.end() ? nullptr : &found->second;
    }
    Entry* findMutable(const std::string& normal) {
        const auto found = entries_.find(Key(normal));
        return found == entries_.end() ? nullptr : &found->second;
    }
    // Whether `normal` lies directly in a folder that refuses writes.
    bool refused(const std::string& normal) const { return refused_.count(Key(Parent(normal))) > 0; }
    // A real folder, or a drive's root; links are not followed here.
    bool isFolder(const std::string& normal) const {
        if (IsRoot(normal))
            return hasDrive(normal[0]);
        const Entry* entry = find(normal);
        return entry && entry->kind == Kind::Folder;
    }
    // `path` with each link above its last name replaced by the link's target; a loop of links
    // is given up after a few turns, as the system does. A name with a wildcard names nothing.
    std::string Through(const std::string& path) const {
        if (!Spelled(path))
            return std::string(1, '\0');
        std::string at = path;
        for (int turn = 0; turn < 32; ++turn) {
            bool replaced = false;
            for (size_t slash = at.find('\\'); slash != std::string::npos; slash = at.find('\\', slash + 1)) {
                const Entry* above = find(at.substr(0, slash));
                if (above && above->kind == Kind::Link) {
                    at = above->target + at.substr(slash);
                    replaced = true;
                    break;
                }
            }
            if (!replaced)
                break;
        }
        return at;
    }
    // The same with the last name followed too, as the listing of "link\*" is.
    std::string Followed(const std::string& path) const {
        std::string at = Through(path);
        for (int turn = 0; turn < 32; ++turn) {
            const Entry* link = find(at);
            if (!link || link->kind != Kind::Link)
                break;
            at = Through(link->target);
        }
        return at;
    }
    // Logs a change asked for and counts it on the clock; false, with nothing logged, once the
    // program has died.
    bool note(std::string entry) {
        if (clock && !clock->change())
            return false;
        log.push_back(entry);
        if (beforeChange)
            beforeChange(entry);
        return true;
    }
    static bool Spelled(const std::string& name) { return name.find_first_of("?*") == std::string::npos; }
    // Removes `at` (shown as `shown`) by its identity, never by a name looked up again: a link or
    // file as itself, a folder once emptied. True when it went.
    bool removeTree(const std::string& at, const std::string& shown, std::vector<std::string>& stayed,
                    const std::vector<std::string>* only = nullptr) {
        const Entry* entry = find(at);
        if (!entry)
            return true;
        if (entry->kind != Kind::Folder) {
            if (!refused(at) && tick() && erase(at))
                return true;
            stayed.push_back(shown);
            return false;
        }
        if (!readable(at) || unlistable_.count(Key(at))) {
            stayed.push_back(shown + " (it could not be listed)");
            return false;
        }
        bool emptied = true;
        std::vector<std::string> below;
        for (const Entry* child : children(at, false)) {
            const bool named = !only || only->empty() ||
                               std::any_of(only->begin(), only->end(),
                                           [&](const std::string& o) { return Key(o) == Key(Name(child->path)); });
            if (named)
                below.push_back(child->path);
            else
                emptied = false;
        }
        for (const std::string& child : below)
            emptied &= removeTree(child, shown + child.substr(at.size()), stayed);
        if (emptied && !refused(at) && tick()) {
            entries_.erase(Key(at));
            return true;
        }
        if (emptied)
            stayed.push_back(shown);
        return false;
    }
    // A file, or a link of either kind, unless a program holds it.
    bool erase(const std::string& normal) {
        if (held_.count(Key(normal)))
            return false;
        entries_.erase(Key(normal));
        return true;
    }
    // What lies in `folder` (everything below it when `deep`): files, then folders, then links,
    // each in the order of their paths without regard to case. Links are listed but not entered,
    // since what is behind them lies elsewhere.
    std::vector<const Entry*> children(const std::string& folder, bool deep) const {
        const std::string prefix = Key(folder) + "\\";
        std::vector<const Entry*> found;
        for (auto it = entries_.lower_bound(prefix); it != entries_.end() && it->first.rfind(prefix, 0) == 0; ++it)
            if (deep || it->first.find('\\', prefix.size()) == std::string::npos)
                found.push_back(&it->second);
        std::stable_sort(found.begin(), found.end(),
                         [](const Entry* a, const Entry* b) { return a->kind < b->kind; });
        return found;
    }

    std::map<std::string, Entry> entries_;  // by Key
    std::map<std::string, Hold> held_;      // by Key
    std::set<std::string> refused_;         // folders, by Key
    std::set<std::string> unlistable_;      // folders, by Key
    std::vector<platform::DriveInfo> drives_;
    std::map<char, uint32_t> types_;
    std::set<char> unreadable_;
    std::map<char, std::string> current_;
    char currentDrive_ = 'c';
};

} // namespace tess::testing
