// The file system on the host (the native build and its tests) over POSIX calls, with the paths'
// backslashes turned into slashes. The host has no drive letters: the drive role answers
// NotSupported there, and nothing that runs on the host asks for it.
#include "platform/file_system.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/ascii_case.h"
#include "platform/file_errors.h"
#include "platform/file_names.h"

namespace tess::platform {

namespace {

bool Missing(int error) { return error == ENOENT || error == ENOTDIR; }

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

bool IsExistingFolder(const std::string& nativePath) {
    struct stat s;
    return stat(nativePath.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Only regular files within the cap are read; their size is known before reading.
Status CheckReadable(const std::string& path, const struct stat& s, uint64_t maxBytes) {
    if (S_ISDIR(s.st_mode))
        return CannotOpen(path, "it is a folder");
    if (!S_ISREG(s.st_mode))
        return CannotOpen(path, "it is not a regular file");
    if (static_cast<uint64_t>(s.st_size) > maxBytes)
        return Error{ErrorCode::FileTooLarge,
                     path + " is longer than " + std::to_string(maxBytes) + " bytes"};
    return Status::Ok();
}

class HostFileSystem : public FileSystem {
public:
    Result<uint64_t> FileLength(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    bool IsLink(const std::string& path) override;
    Result<std::string> LinkTarget(const std::string& path) override;
    Result<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) override;
    Result<std::vector<std::string>> ListFolders(const std::string& folder) override;
    std::vector<std::string> ListTree(const std::string& folder) override;
    Result<std::vector<uint8_t>> ReadWholeFile(const std::string& path, uint64_t maxBytes) override;
    Status CreateFolder(const std::string& path) override;
    Status WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) override;
    Status MoveReplacing(const std::string& from, const std::string& to) override;
    Status ClearReadOnly(const std::string& path) override;
    Status RemoveFile(const std::string& path) override;
    Status RemoveLink(const std::string& path) override;
    Status RemovePlainFile(const std::string& path) override;
    std::vector<std::string> RemoveTree(const std::string& folder, const std::vector<std::string>& only = {}) override;
    std::vector<DriveInfo> List() override;
    Result<std::string> CurrentFolder(char drive) override;
    char CurrentDrive() override;
    uint32_t Type(char letter) override;
};

} // namespace

FileSystem& SystemFileSystem() {
    static HostFileSystem system;
    return system;
}

std::string NativePath(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

Result<uint64_t> HostFileSystem::FileLength(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    struct stat s;
    if (stat(NativePath(path).c_str(), &s) != 0) {
        const int error = errno;
        if (Missing(error))
            return NotFound(path);
        return Error{ErrorCode::CannotOpen, "Cannot examine " + path + ": " + std::strerror(error)};
    }
    if (S_ISDIR(s.st_mode))
        return Error{ErrorCode::CannotOpen, "Not a file: " + path};
    return static_cast<uint64_t>(s.st_size);
}

Status HostFileSystem::CreateFolder(const std::string& path) {
    if (path.empty() || HasNul(path))
        return Error{ErrorCode::InvalidArgument, "Not a folder name: " + path};
    const std::string native = NativePath(path);
    if (mkdir(native.c_str(), 0777) == 0)
        return Status::Ok();
    const int error = errno;
    if (error == EEXIST && IsExistingFolder(native))
        return Error{ErrorCode::AlreadyExists, "The folder exists already: " + path};
    return Error{ErrorCode::WriteFailed,
                 "Cannot create the folder " + path + ": " + std::strerror(error)};
}

// POSIX has no read-only attribute: a file without its owner's write permission stands for one.
Status HostFileSystem::ClearReadOnly(const std::string& path) {
    struct stat s;
    if (path.empty() || HasNul(path) || lstat(NativePath(path).c_str(), &s) != 0)
        return NotFound(path);
    if (!S_ISREG(s.st_mode))
        return Error{ErrorCode::InvalidArgument, path + " is not a plain file"};
    if ((s.st_mode & S_IWUSR) || chmod(NativePath(path).c_str(), (s.st_mode & 07777) | S_IWUSR) == 0)
        return Status::Ok();
    return WriteError(path, std::strerror(errno));
}

Status HostFileSystem::RemoveFile(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    // unlink refuses folders.
    if (unlink(NativePath(path).c_str()) == 0)
        return Status::Ok();
    const int error = errno;
    if (Missing(error))
        return NotFound(path);
    return Error{ErrorCode::DeleteFailed, "Cannot delete " + path + ": " + std::strerror(error)};
}

Result<std::vector<std::string>> HostFileSystem::ListFiles(const std::string& folder, const std::string& pattern) {
    const std::string native = NativePath(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.c_str()), closedir);
    if (!dir)
        return Error{ErrorCode::FileNotFound, "Cannot list " + folder + ": " + std::strerror(errno)};
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        struct stat s {};
        if (stat((native + "/" + name).c_str(), &s) == 0 && !S_ISDIR(s.st_mode) &&
            MatchesPattern(name, pattern))
            names.push_back(name);
    }
    SortNamesWithoutCase(names);
    return names;
}

Result<std::vector<uint8_t>> HostFileSystem::ReadWholeFile(const std::string& path, uint64_t maxBytes) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    const std::string native = NativePath(path);
    // Looked at before opening, so that opening never blocks (a named pipe would) nor starts
    // reading a device.
    struct stat s;
    if (stat(native.c_str(), &s) != 0) {
        const int error = errno;
        return Missing(error) ? NotFound(path) : CannotOpen(path, std::strerror(error));
    }
    if (Status readable = CheckReadable(path, s, maxBytes); !readable)
        return readable.error();

    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(native.c_str(), "rb"));
    if (!file) {
        const int error = errno;
        if (Missing(error))
            return NotFound(path);
        return CannotOpen(path, error ? std::strerror(error) : "unknown error");
    }
    // Again on the open file, which may not be the one looked at.
    if (fstat(fileno(file.get()), &s) != 0)
        return CannotOpen(path, std::strerror(errno));
    if (Status readable = CheckReadable(path, s, maxBytes); !readable)
        return readable.error();

    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(s.st_size));
    } catch (const std::bad_alloc&) {
        return Error{ErrorCode::OutOfMemory, "Not enough memory to read " + path};
    }
    size_t got = 0;
    while (got < bytes.size()) {
        const size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, file.get());
        if (n == 0)
            break;
        got += n;
    }
    if (std::ferror(file.get()))
        return CannotOpen(path, "read error");
    bytes.resize(got);  // a file that shrank since: what is there
    return bytes;
}

Status HostFileSystem::WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty() || HasNul(path))
        return WriteError(path, "not a file name");
    // Errors name the path as the caller gave it; the file system gets the mapped one.
    const std::string target = NativePath(path);
    if (IsExistingFolder(target))
        return WriteError(path, "the name belongs to a folder");

    const std::string temporary = PartialFileName(target);
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return WriteError(path, std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        unlink(temporary.c_str());
        return WriteError(path, "the file could not be written completely");
    }
    // rename replaces the target in one step.
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        return WriteError(path, std::strerror(error));
    }
    return Status::Ok();
}

bool HostFileSystem::FileExists(const std::string& path) {
    struct stat s;
    return !path.empty() && !HasNul(path) && stat(NativePath(path).c_str(), &s) == 0 && !S_ISDIR(s.st_mode);
}

bool HostFileSystem::FolderExists(const std::string& path) {
    return !path.empty() && !HasNul(path) && IsExistingFolder(NativePath(path));
}

bool HostFileSystem::IsLink(const std::string& path) {
    struct stat s;
    return !path.empty() && !HasNul(path) && lstat(NativePath(path).c_str(), &s) == 0 && S_ISLNK(s.st_mode);
}

Result<std::vector<std::string>> HostFileSystem::ListFolders(const std::string& folder) {
    const std::string native = NativePath(folder);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.c_str()), closedir);
    if (!dir)
        return Error{ErrorCode::FileNotFound, "The folder " + folder + " cannot be read"};
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && IsExistingFolder(native + "/" + name))
            names.push_back(name);
    }
    SortNamesWithoutCase(names);
    return names;
}

std::vector<std::string> HostFileSystem::ListTree(const std::string& folder) {
    std::vector<std::string> found;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(NativePath(folder).c_str()), closedir);
    if (!dir)
        return found;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "\\" + name;
        found.push_back(path);
        // lstat: a link is listed, never entered.
        struct stat s;
        if (lstat(NativePath(path).c_str(), &s) == 0 && S_ISDIR(s.st_mode)) {
            std::vector<std::string> below = ListTree(path);
            found.insert(found.end(), below.begin(), below.end());
        }
    }
    return found;
}

Status HostFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
    if (from.empty() || HasNul(from) || HasNul(to))
        return NotFound(from);
    // A read-only file stays, as the system's move leaves it; rename itself would replace it.
    struct stat target;
    if (lstat(NativePath(to).c_str(), &target) == 0 && S_ISREG(target.st_mode) && !(target.st_mode & S_IWUSR))
        return WriteError(to, "the file is read-only");
    // rename replaces the target in one step and never copies across file systems.
    if (std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0)
        return Status::Ok();
    const int error = errno;
    return Error{Missing(error) ? ErrorCode::FileNotFound : ErrorCode::WriteFailed,
                 "could not move " + from + " to " + to + ": " + std::strerror(error)};
}

Result<std::string> HostFileSystem::LinkTarget(const std::string& path) {
    if (!IsLink(path))
        return Error{ErrorCode::InvalidArgument, path + " is not a link"};
    std::string target(4096, '\0');
    const ssize_t length = readlink(NativePath(path).c_str(), target.data(), target.size());
    if (length < 0 || static_cast<size_t>(length) >= target.size())
        return CannotOpen(path, "the link cannot be read");
    target.resize(static_cast<size_t>(length));
    return target;
}

Status HostFileSystem::RemoveLink(const std::string& path) {
    if (!IsLink(path))
        return Error{ErrorCode::InvalidArgument, path + " is not a link"};
    // unlink takes a symbolic link itself, whatever it points to.
    return RemoveFile(path);
}

Status HostFileSystem::RemovePlainFile(const std::string& path) {
    struct stat s;
    if (path.empty() || HasNul(path) || lstat(NativePath(path).c_str(), &s) != 0)
        return NotFound(path);
    if (!S_ISREG(s.st_mode))
        return Error{ErrorCode::InvalidArgument, path + " is not a plain file"};
    return RemoveFile(path);
}

std::vector<std::string> HostFileSystem::RemoveTree(const std::string& folder, const std::vector<std::string>& only) {
    std::vector<std::string> stayed;
    struct stat s;
    const std::string native = NativePath(folder);
    if (folder.empty() || HasNul(folder) || lstat(native.c_str(), &s) != 0)
        return stayed;
    // A link, or anything but a folder, goes as itself.
    if (!S_ISDIR(s.st_mode)) {
        if (unlink(native.c_str()) != 0)
            stayed.push_back(folder);
        return stayed;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.c_str()), closedir);
    if (!dir) {
        stayed.push_back(folder + " (it could not be listed)");
        return stayed;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(dir.get()))
        if (std::string name = entry->d_name; name != "." && name != "..")
            names.push_back(std::move(name));
    dir.reset();
    // Emptied when every entry went; one left out by `only` keeps the folder without being named.
    bool emptied = true;
    for (const std::string& name : names) {
        if (!only.empty() && std::none_of(only.begin(), only.end(), [&](const std::string& o) { return SameName(o, name); })) {
            emptied = false;
            continue;
        }
        const std::vector<std::string> below = RemoveTree(folder + "\\" + name);
        emptied &= below.empty();
        stayed.insert(stayed.end(), below.begin(), below.end());
    }
    if (emptied && rmdir(native.c_str()) != 0)
        stayed.push_back(folder);
    return stayed;
}

// Drive letters are Windows' own; the host build runs only the portable logic, whose tests use
// the in-memory file system for them.
std::vector<DriveInfo> HostFileSystem::List() { return {}; }

Result<std::string> HostFileSystem::CurrentFolder(char drive) {
    return Error{ErrorCode::NotSupported, std::string("The host has no drive ") + drive + ":"};
}

char HostFileSystem::CurrentDrive() { return 'c'; }

uint32_t HostFileSystem::Type(char) { return platform::Drives::NoRootDir; }

} // namespace tess::platform
