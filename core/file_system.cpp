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
#include <unistd.h>
#endif

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

} // namespace tess
