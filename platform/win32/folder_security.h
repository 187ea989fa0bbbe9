// Folders with permissions of their own, made by the elevated programs: the security descriptors,
// built from the system's descriptor language, and the folders made with them or taken over.
#pragma once

#include <windows.h>

#include <string>

#include "core/result.h"
#include "platform/program_folders.h"
#include "platform/win32/handles.h"

namespace tess::platform::win32 {

struct LocalFreeRelease {
    void operator()(PSECURITY_DESCRIPTOR descriptor) const { LocalFree(descriptor); }
};
using UniqueSecurityDescriptor = UniqueHandle<PSECURITY_DESCRIPTOR, LocalFreeRelease>;

// Who may use a folder and what is made in it. The administrators own both kinds.
enum class FolderAccess {
    Programs,  // everyone reads and runs; the administrators and the system change
    Private,   // the administrators and the system only
};

// Where a descriptor goes: on the folder itself, whose list is protected from its parent's, or on
// a folder or a file below it, which carries the folder's entries as inherited ones only.
enum class Placement { Folder, FolderInside, FileInside };

Result<UniqueSecurityDescriptor> MakeDescriptor(FolderAccess access, Placement placement);

// Creates the folder `path` with its descriptor in the call that makes it. AlreadyExists when the
// name is taken, by a folder, a file or a link.
Status CreateFolderWith(const std::string& path, FolderAccess access);

// Makes the administrators the owner of the existing folder `path` and of everything below it,
// and gives each its descriptor, the folder first so that nothing can be added below it while
// the rest follows. Each is opened as itself: a link, or a file with another name elsewhere, is
// InvalidArgument and stops the walk before its own permissions change.
Status TakeOverFolder(const std::string& path, FolderAccess access);

// The installation's program folders on the system.
class Win32ProgramFolders final : public ProgramFolders {
public:
    Status Create(const std::string& path) override {
        return CreateFolderWith(path, FolderAccess::Programs);
    }
    Status TakeOver(const std::string& path) override {
        return TakeOverFolder(path, FolderAccess::Programs);
    }
};

} // namespace tess::platform::win32
