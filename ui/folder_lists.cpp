// The folder and drive lists: resolving a path the way the system does (drive alone, rooted,
// relative, "." and ".."), the rows of ancestors and subfolders, and the drive entries.
#include <algorithm>
#include <cctype>

#include "core/ascii_case.h"
#include "platform/path_text.h"
#include "ui/file_lists.h"

namespace tess::ui {

namespace {

bool IsDriveSpec(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// "C:\\a\\.\\b\\..\\c\\" as "C:\\a\\c"; the root keeps its backslash. `path` starts with a
// drive and a backslash.
std::string Collapse(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 3;
    while (start <= path.size()) {
        size_t end = platform::NextSeparator(path, start);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = path.substr(0, 2) + "\\";
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? "\\" : "") + parts[i];
    return out;
}

} // namespace

DirListBox::DirListBox(Container* parent, std::string name, TwipsRect rect,
                       FolderSource& folders)
    : Control(ControlKind::DirListBox, parent, std::move(name), rect), folders_(folders) {
    // The list opens at the system's current folder, as the first list of a window does.
    if (auto start = folders_.CurrentFolder(folders_.CurrentDrive())) (void)setPath(start.value());
}

Result<std::string> DirListBox::resolve(const std::string& given) const {
    std::string path = given;
    std::replace(path.begin(), path.end(), '/', '\\');
    if (path.empty()) return path_;
    if (IsDriveSpec(path)) {
        if (path.size() == 2 || path[2] != '\\') {
            // "C:" or "C:folder": from that drive's current folder.
            auto current = folders_.CurrentFolder(AsciiLower(path[0]));
            if (!current) return current.error();
            std::string base = current.value();
            if (path.size() > 2) {
                if (!platform::EndsWithSeparator(base)) base += '\\';
                base.append(path, 2);
            }
            path = base;
        }
    } else if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
        return Error{ErrorCode::FileNotFound, "Network paths are not listed: " + given};
    } else if (path_.empty()) {
        return Error{ErrorCode::FileNotFound, "No folder to start from for " + given};
    } else if (path[0] == '\\') {
        path.insert(0, path_, 0, 2);
    } else {
        path = path_ + (platform::EndsWithSeparator(path_) ? "" : "\\") + path;
    }
    return Collapse(path);
}

Status DirListBox::setPath(const std::string& given) {
    auto resolved = resolve(given);
    if (!resolved) return resolved.error();
    const std::string path = std::move(resolved).value();
    auto subfolders = folders_.ListFolders(path);
    if (!subfolders) return subfolders.error();

    std::vector<Row> rows;
    rows.push_back({path.substr(0, 3), path.substr(0, 3), 0, true});
    size_t start = 3;
    int depth = 0;
    while (start < path.size()) {
        size_t end = platform::NextSeparator(path, start);
        if (end == std::string::npos) end = path.size();
        rows.push_back({path.substr(start, end - start), path.substr(0, end), ++depth, true});
        start = end + 1;
    }
    const std::string prefix = platform::EndsWithSeparator(path) ? path : path + "\\";
    for (const std::string& name : subfolders.value())
        rows.push_back({name, prefix + name, depth + 1, false});

    const bool changed = path != path_;
    path_ = path;
    rows_ = std::move(rows);
    notify(Property::Value);
    if (changed) fire(onChange);
    return Status::Ok();
}

Status DirListBox::refresh() { return setPath(path_); }

int DirListBox::openRow() const {
    int last = -1;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].open) last = static_cast<int>(i);
    return last;
}

Status DirListBox::open(int row) {
    if (!acceptsInput() || row < 0 || row >= static_cast<int>(rows_.size()))
        return Error{ErrorCode::InvalidArgument, "No such row"};
    // Copied: opening replaces the rows.
    const std::string path = rows_[static_cast<size_t>(row)].path;
    return setPath(path);
}

DriveListBox::DriveListBox(Container* parent, std::string name, TwipsRect rect,
                           FolderSource& folders)
    : Control(ControlKind::DriveListBox, parent, std::move(name), rect), folders_(folders) {
    refresh();
    const char current = AsciiLower(folders_.CurrentDrive());
    for (size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].letter == current) listIndex_ = static_cast<int>(i);
    if (listIndex_ < 0 && !drives_.empty()) listIndex_ = 0;
}

void DriveListBox::refresh() {
    const char selected = listIndex_ >= 0 ? drives_[static_cast<size_t>(listIndex_)].letter : 0;
    drives_ = folders_.Drives();
    entries_.clear();
    listIndex_ = -1;
    for (size_t i = 0; i < drives_.size(); ++i) {
        std::string entry{AsciiLower(drives_[i].letter), ':'};
        if (!drives_[i].description.empty()) entry += " [" + drives_[i].description + "]";
        entries_.push_back(std::move(entry));
        if (drives_[i].letter == selected) listIndex_ = static_cast<int>(i);
    }
    notify(Property::Value);
}

std::string DriveListBox::drive() const {
    return listIndex_ < 0 ? std::string() : entries_[static_cast<size_t>(listIndex_)];
}

void DriveListBox::select(int index) {
    if (set(listIndex_, index, Property::Value)) fire(onChange);
}

Status DriveListBox::setDrive(const std::string& drive) {
    if (drive.empty()) return Error{ErrorCode::InvalidArgument, "No drive given"};
    const char letter = AsciiLower(drive[0]);
    for (size_t i = 0; i < drives_.size(); ++i) {
        if (drives_[i].letter == letter) {
            select(static_cast<int>(i));
            return Status::Ok();
        }
    }
    // The first character whole, of however many bytes, so the message reads as it was typed.
    return Error{ErrorCode::FileNotFound,
                 "There is no drive " + drive.substr(0, platform::CodePage::Active().charLength(drive, 0)) + ":"};
}

bool DriveListBox::pick(int index) {
    if (!acceptsInput() || index < 0 || index >= static_cast<int>(entries_.size())) return false;
    select(index);
    return true;
}

} // namespace tess::ui
