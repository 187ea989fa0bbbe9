// File operations over the C runtime, whose narrow-character calls take ANSI paths on Windows
// just as the programs hold them.
#include "file_system.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

#include "core/ascii_case.h"

namespace tess {

namespace {

#ifdef _WIN32
using StatBuffer = struct _stat64;
int StatOfPath(const char* path, StatBuffer* s) { return _stat64(path, s); }
bool IsFolder(unsigned mode) { return (mode & _S_IFMT) == _S_IFDIR; }
int MakeFolder(const char* path) { return _mkdir(path); }
int Unlink(const char* path) { return _unlink(path); }
#else
using StatBuffer = struct stat;
int StatOfPath(const char* path, StatBuffer* s) { return stat(path, s); }
bool IsFolder(unsigned mode) { return S_ISDIR(mode); }
int MakeFolder(const char* path) { return mkdir(path, 0777); }
int Unlink(const char* path) { return unlink(path); }
#endif

bool Missing(int error) { return error == ENOENT || error == ENOTDIR; }

// A path with a NUL inside would be cut short by the C runtime and name another file.
bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

Error NotFound(const std::string& path) {
    return Error{ErrorCode::FileNotFound, "File not found: " + path};
}

bool IsExistingFolder(const std::string& nativePath) {
    StatBuffer s;
    return StatOfPath(nativePath.c_str(), &s) == 0 && IsFolder(s.st_mode);
}

} // namespace

std::string NativePath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
#endif
}

Result<uint64_t> FileLength(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    StatBuffer s;
    if (StatOfPath(NativePath(path).c_str(), &s) != 0) {
        const int error = errno;
        if (Missing(error))
            return NotFound(path);
        return Error{ErrorCode::CannotOpen, "Cannot examine " + path + ": " + std::strerror(error)};
    }
    if (IsFolder(s.st_mode))
        return Error{ErrorCode::CannotOpen, "Not a file: " + path};
    return static_cast<uint64_t>(s.st_size);
}

Status CreateFolder(const std::string& path) {
    if (path.empty() || HasNul(path))
        return Error{ErrorCode::InvalidArgument, "Not a folder name: " + path};
    const std::string native = NativePath(path);
    if (MakeFolder(native.c_str()) == 0)
        return Status::Ok();
    const int error = errno;
    if (error == EEXIST && IsExistingFolder(native))
        return Error{ErrorCode::AlreadyExists, "The folder exists already: " + path};
    return Error{ErrorCode::WriteFailed,
                 "Cannot create the folder " + path + ": " + std::strerror(error)};
}

Status RemoveFile(const std::string& path) {
    if (path.empty() || HasNul(path))
        return NotFound(path);
    // unlink refuses folders on both systems.
    if (Unlink(NativePath(path).c_str()) == 0)
        return Status::Ok();
    const int error = errno;
    if (Missing(error))
        return NotFound(path);
    return Error{ErrorCode::WriteFailed, "Cannot delete " + path + ": " + std::strerror(error)};
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    // Greedy matching with one backtrack point: the last '*' seen.
    size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || AsciiLower(pattern[p]) == AsciiLower(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

Result<std::vector<std::string>> ListFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
#ifdef _WIN32
    struct _finddata64i32_t found;
    const intptr_t search = _findfirst64i32((NativePath(folder) + "\\*").c_str(), &found);
    if (search == -1)
        return Error{ErrorCode::FileNotFound, "Cannot list " + folder};
    do {
        if (!(found.attrib & _A_SUBDIR) && MatchesPattern(found.name, pattern))
            names.emplace_back(found.name);
    } while (_findnext64i32(search, &found) == 0);
    _findclose(search);
#else
    DIR* dir = opendir(NativePath(folder).c_str());
    if (!dir)
        return Error{ErrorCode::FileNotFound, "Cannot list " + folder + ": " + std::strerror(errno)};
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        StatBuffer s{};
        if (StatOfPath((NativePath(folder) + "/" + name).c_str(), &s) == 0 && !IsFolder(s.st_mode) &&
            MatchesPattern(name, pattern))
            names.push_back(name);
    }
    closedir(dir);
#endif
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
        });
    });
    return names;
}

} // namespace tess
