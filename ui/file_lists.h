// The lists of the file system: files of a folder by pattern, a folder with its ancestors and
// subfolders, and the system's drives, each read through the file system it is given.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/result.h"
#include "ui/control.h"
#include "ui/folder_source.h"

namespace tess::ui {

// The files of a folder that match a pattern, in the order the system lists them (by name,
// without regard to case). Selecting an entry, by the user or by code, runs onClick.
class FileListBox : public Control {
public:
    FileListBox(Container* parent, std::string name, TwipsRect rect, FolderSource& folders);
    const std::string& path() const { return path_; }
    // Sets the folder and lists it again; a folder that cannot be listed leaves the list empty
    // and is reported.
    Status setPath(std::string folder);
    const std::string& pattern() const { return pattern_; }
    void setPattern(std::string pattern);
    // Lists the folder again; the selection is cleared.
    Status refresh();
    const std::vector<std::string>& entries() const { return entries_; }
    int listCount() const { return static_cast<int>(entries_.size()); }
    // The selected entry, -1 for none.
    int listIndex() const { return listIndex_; }
    // Selects an entry (-1 clears the selection); runs onClick when another entry is selected.
    void setListIndex(int index);
    // The user's single and double clicks on an entry.
    bool click(int index);
    bool doubleClick(int index);
    std::function<void()> onClick;
    std::function<void()> onDblClick;

private:
    FolderSource& folders_;
    std::string path_;
    std::string pattern_ = "*.*";
    std::vector<std::string> entries_;
    int listIndex_ = -1;
};

// A folder's place in the file system as a list: the drive's root and each folder down to the
// open one, then the open folder's subfolders. Opening a row (the user's double click) or
// setting the path by code changes the open folder; onChange runs when it really changes.
class DirListBox : public Control {
public:
    struct Row {
        std::string name;  // "C:\" for the root, else the folder's own name
        std::string path;  // the full path the row opens
        int depth = 0;     // 0 for the root
        bool open = false; // the root and the folders down to the open one
    };
    DirListBox(Container* parent, std::string name, TwipsRect rect, FolderSource& folders);
    // The open folder: "C:\" for a root, otherwise without a trailing backslash.
    const std::string& path() const { return path_; }
    // Opens a folder: absolute ("C:\Program Files"), a drive alone ("C:" opens that drive's
    // current folder), rooted on the open drive ("\Temp") or relative to the open folder. A
    // folder that does not exist or cannot be read is refused with an error and the list stays
    // as it was.
    Status setPath(const std::string& path);
    // Lists the open folder again; a folder that can no longer be read is an error.
    Status refresh();
    const std::vector<Row>& rows() const { return rows_; }
    // The row of the open folder.
    int openRow() const;
    // The user's double click on a row: opens that row's folder.
    Status open(int row);
    std::function<void()> onChange;

private:
    Result<std::string> resolve(const std::string& path) const;
    FolderSource& folders_;
    std::string path_;
    std::vector<Row> rows_;
};

// The system's drives, one selected. Each entry reads "c:", followed by " [description]" for a
// drive that has a label or a share name. onChange runs when the selected drive changes.
class DriveListBox : public Control {
public:
    // Lists the drives and selects the drive of the system's current folder (else the first).
    DriveListBox(Container* parent, std::string name, TwipsRect rect, FolderSource& folders);
    const std::vector<std::string>& entries() const { return entries_; }
    int listIndex() const { return listIndex_; }
    // The selected entry, e.g. "c: [system]"; empty when there are no drives.
    std::string drive() const;
    // Selects the drive named by the first letter of `drive` ("C:\Program Files" selects c:),
    // without regard to case. A letter with no drive is refused with an error. Whether the
    // drive can be read is not tested here: the folder list tells when it opens it.
    Status setDrive(const std::string& drive);
    // The user's pick of an entry.
    bool pick(int index);
    // Reads the drives again, keeping the selected one when it is still there.
    void refresh();
    std::function<void()> onChange;

private:
    void select(int index);
    FolderSource& folders_;
    std::vector<platform::DriveInfo> drives_;
    std::vector<std::string> entries_;
    int listIndex_ = -1;
};

} // namespace tess::ui
