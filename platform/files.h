// The file role: looking at files and folders, reading, writing and removing single files, on
// paths written the Windows way: narrow paths in the system's ANSI code page, as the Win32 A
// functions take them, and names that compare without regard to case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"
#include "platform/path_text.h"

namespace tess::platform {

class Files {
public:
    virtual ~Files() = default;

    // Looking at what is there. A link counts as what it stands for, but for IsLink, which asks
    // about the link itself.

    // The length in bytes of a file; a folder or a missing path is an error (FileNotFound for
    // nothing there, CannotOpen for a folder or a failure to look).
    virtual Result<uint64_t> FileLength(const std::string& path) = 0;
    // Whether a file (not a folder) is there, of any length; HasContent asks for a byte.
    virtual bool FileExists(const std::string& path) = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // Whether `path` itself is a link (a junction or a symbolic link, to a file or a folder).
    virtual bool IsLink(const std::string& path) = 0;
    // Where the link `path` points, as the link itself records it; read without entering it.
    // InvalidArgument when `path` is no link, CannotOpen when its record cannot be read.
    virtual Result<std::string> LinkTarget(const std::string& path) = 0;
    // The names of the files (not folders) in a folder that match the pattern (MatchesPattern),
    // sorted by name without regard to case. A folder that cannot be read is an error. Only
    // names that the code page spells exactly are listed: what a caller does by a listed name
    // happens to that file and no other.
    virtual Result<std::vector<std::string>> ListFiles(const std::string& folder,
                                                       const std::string& pattern) = 0;
    // The names of a folder's subfolders, "." and ".." left out, sorted without regard to case;
    // an error when the folder does not exist or cannot be read. Only names that the code page
    // spells exactly are listed, as with ListFiles.
    virtual Result<std::vector<std::string>> ListFolders(const std::string& folder) = 0;
    // The whole contents of a regular file of at most `maxBytes` bytes. FileNotFound when the
    // path names nothing, CannotOpen for a folder, a device or pipe, or a read error,
    // FileTooLarge when the file is longer than `maxBytes`, which is known before anything is
    // read.
    virtual Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t maxBytes) = 0;

    // Changing it. Every failure is returned; callers that go on regardless say so.

    // Creates one folder (not the folders above it). A folder that exists already is
    // AlreadyExists, which callers that only need the folder to be there ignore.
    virtual Status CreateFolder(const std::string& path) = 0;
    // Writes `bytes` to `path`, replacing an existing file only once the new one is complete:
    // they go to "<path>.partial" first, which is then moved over it. A failed write leaves the
    // old file as it was and no temporary file behind.
    virtual Status WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
    // Moves the file `from` to `to` in one step, replacing a file there and returning only once
    // the move is on disk. Both must lie on one volume: nothing is copied, so a failure leaves
    // both files as they were. FileNotFound when `from` is missing; a read-only file at `to` is
    // not replaced (WriteFailed).
    virtual Status MoveReplacing(const std::string& from, const std::string& to) = 0;
    // Takes the read-only attribute off a file, and nothing else: the system refuses to replace
    // or delete a read-only file by name. A link is refused (InvalidArgument), so that only the
    // file named, never what a link points to, loses its protection.
    virtual Status ClearReadOnly(const std::string& path) = 0;
    // Deletes a file, or a file link as itself; never a folder. FileNotFound when nothing is
    // there, DeleteFailed when it stays (in use, read-only, a folder).
    virtual Status RemoveFile(const std::string& path) = 0;
    // Deletes the plain file at `path` (read-only or not) through a handle that does not follow
    // links, so that what is deleted is what was looked at: a link or a folder there is refused
    // (InvalidArgument) and left alone. FileNotFound when nothing is there.
    virtual Status RemovePlainFile(const std::string& path) = 0;
};

// True when `path` names a file of at least one byte: an empty, missing or unreadable file, a
// folder or a bad name give false. An empty file counts as absent because an interrupted write
// or extraction leaves one.
bool HasContent(Files& files, const std::string& path);

// Whether a file name matches a pattern of '*' (any run of characters) and '?' (any one
// character), without regard to case, as the system's file lists match; a character of several bytes
// in the code page `page` is one character, and only ASCII letters of their own fold.
bool MatchesPattern(const std::string& name, const std::string& pattern,
                    const CodePage& page = CodePage::Active());

// The path as the system's calls take it: on Windows unchanged (ANSI), on the host with every
// backslash turned into '/'.
std::string NativePath(const std::string& path);

} // namespace tess::platform
