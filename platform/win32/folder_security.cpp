// The descriptors are written in the system's descriptor language and converted by advapi32; a
// folder taken over is walked here, one object at a time, each opened as itself and looked at
// before its owner and permissions change, so that no link leads the walk outside the folder.
#include "platform/win32/folder_security.h"

#include <sddl.h>

#include <initializer_list>
#include <span>
#include <vector>

#include "platform/file_names.h"

namespace tess::platform::win32 {

namespace {

struct Grant {
    const char* trustee;
    const char* rights;
};

// The system and the administrators in full; the users read and run (FILE_GENERIC_READ |
// FILE_GENERIC_EXECUTE, which the system writes back as this number), as a folder below the
// system's program folder gives them. No entry for a creator's own rights: whoever makes
// something inside holds no more than the group they act for.
constexpr Grant kProgramsGrants[] = {{"SY", "FA"}, {"BA", "FA"}, {"BU", "0x1200a9"}};
constexpr Grant kPrivateGrants[] = {{"BA", "FA"}, {"SY", "FA"}};

// Owned by the administrators, so that whoever made a folder or file keeps no owner's rights to
// it. The folder's list is protected ("P"), which keeps its parent's entries out, and marked as
// kept by propagation ("AI"), as the system marks its own program folders; below it the entries
// arrive as inherited ones ("ID"), which a folder passes on to what is made in it and a file does
// not.
std::string DescriptorText(FolderAccess access, Placement placement) {
    const std::span<const Grant> grants = access == FolderAccess::Programs
                                              ? std::span<const Grant>(kProgramsGrants)
                                              : std::span<const Grant>(kPrivateGrants);
    const char* flags = placement == Placement::Folder         ? "OICI"
                        : placement == Placement::FolderInside ? "OICIID"
                                                               : "ID";
    std::string text = placement == Placement::Folder ? "O:BAD:PAI" : "O:BAD:AI";
    for (const Grant& grant : grants) {
        text.append("(A;").append(flags).append(";").append(grant.rights);
        text.append(";;;").append(grant.trustee).append(")");
    }
    return text;
}

// What failed, with the system's error code, which the caller takes before anything else runs.
Error SystemError(ErrorCode code, const std::string& what, DWORD error) {
    return Error{code, what + " (error " + std::to_string(error) + ")"};
}

// Privileges an administrator holds but does not use unless asked, enabled for one scope and put
// back as they were: backup and restore open a file to read and change its permissions whatever
// they say now, and taking ownership lets the administrators own what someone else owns.
class EnabledPrivileges {
public:
    explicit EnabledPrivileges(std::initializer_list<const char*> names) {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
            return;
        token_.reset(token);
        for (const char* name : names) {
            TOKEN_PRIVILEGES wanted{1, {{{}, SE_PRIVILEGE_ENABLED}}};
            TOKEN_PRIVILEGES before{};
            DWORD length = 0;
            if (LookupPrivilegeValueA(nullptr, name, &wanted.Privileges[0].Luid) &&
                AdjustTokenPrivileges(token, FALSE, &wanted, sizeof before, &before, &length))
                previous_.push_back(before);
        }
    }
    // A privilege that was enabled already has nothing to put back (its previous state lists
    // none) and stays so.
    ~EnabledPrivileges() {
        for (auto it = previous_.rbegin(); it != previous_.rend(); ++it)
            (void)AdjustTokenPrivileges(token_.get(), FALSE, &*it, 0, nullptr, nullptr);
    }
    EnabledPrivileges(const EnabledPrivileges&) = delete;
    EnabledPrivileges& operator=(const EnabledPrivileges&) = delete;

private:
    UniqueKernelHandle token_;
    std::vector<TOKEN_PRIVILEGES> previous_;
};

struct Descriptors {
    UniqueSecurityDescriptor folder, folderInside, fileInside;
};

// The names in `folder`, "." and ".." left out.
Result<std::vector<std::string>> NamesIn(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    const HANDLE first = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return SystemError(ErrorCode::CannotOpen, "the listing of " + folder, error);
    }
    const UniqueFind search(first);
    std::vector<std::string> names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search.get(), &found));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES)
        return SystemError(ErrorCode::CannotOpen, "the listing of " + folder, error);
    return names;
}

// Gives `path` its owner and descriptor, then, for a folder, everything in it. Each object stays
// open, without leave to delete or rename it, until what lies below it is done.
Status Secure(const std::string& path, const Descriptors& descriptors, bool top) {
    // As itself, never what a link points to, with the rights the privileges grant for a backup.
    const HANDLE opened = CreateFileA(path.c_str(), READ_CONTROL | WRITE_DAC | WRITE_OWNER | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return SystemError(ErrorCode::CannotOpen, path, error);
    }
    const UniqueKernelHandle object(opened);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(object.get(), &info)) {
        const DWORD error = GetLastError();
        return SystemError(ErrorCode::CannotOpen, path, error);
    }
    const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return Error{ErrorCode::InvalidArgument, path + " is a link"};
    if (top && !folder)
        return Error{ErrorCode::InvalidArgument, path + " is not a folder"};
    // A second name shares the file's permissions: setting them here would set them there too.
    if (!folder && info.nNumberOfLinks > 1)
        return Error{ErrorCode::InvalidArgument, path + " has another name elsewhere"};
    // Set on the open object alone: the system's higher-level setters would go on to rewrite
    // everything below by name, before this walk has looked at it.
    const UniqueSecurityDescriptor& descriptor =
        top ? descriptors.folder : folder ? descriptors.folderInside : descriptors.fileInside;
    if (!SetKernelObjectSecurity(object.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                 descriptor.get())) {
        const DWORD error = GetLastError();
        return SystemError(ErrorCode::WriteFailed, "the permissions of " + path, error);
    }
    if (!folder)
        return Status::Ok();
    const Result<std::vector<std::string>> names = NamesIn(path);
    if (!names)
        return names.error();
    for (const std::string& name : names.value()) {
        if (Status secured = Secure(path + "\\" + name, descriptors, false); !secured.ok())
            return secured;
    }
    return Status::Ok();
}

} // namespace

Result<UniqueSecurityDescriptor> MakeDescriptor(FolderAccess access, Placement placement) {
    PSECURITY_DESCRIPTOR made = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(DescriptorText(access, placement).c_str(),
                                                              SDDL_REVISION_1, &made, nullptr)) {
        const DWORD error = GetLastError();
        return SystemError(ErrorCode::CannotOpen, "a folder's permissions", error);
    }
    return UniqueSecurityDescriptor(made);
}

Status CreateFolderWith(const std::string& path, FolderAccess access) {
    if (HasNul(path))
        return Error{ErrorCode::InvalidArgument, "Not a folder name"};
    Result<UniqueSecurityDescriptor> descriptor = MakeDescriptor(access, Placement::Folder);
    if (!descriptor)
        return descriptor.error();
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.value().get(), FALSE};
    if (CreateDirectoryA(path.c_str(), &attributes))
        return Status::Ok();
    const DWORD error = GetLastError();
    return SystemError(error == ERROR_ALREADY_EXISTS ? ErrorCode::AlreadyExists : ErrorCode::WriteFailed, path,
                       error);
}

Status TakeOverFolder(const std::string& path, FolderAccess access) {
    if (HasNul(path))
        return Error{ErrorCode::InvalidArgument, "Not a folder name"};
    Descriptors descriptors;
    for (auto [placement, slot] : {std::pair{Placement::Folder, &descriptors.folder},
                                   std::pair{Placement::FolderInside, &descriptors.folderInside},
                                   std::pair{Placement::FileInside, &descriptors.fileInside}}) {
        Result<UniqueSecurityDescriptor> made = MakeDescriptor(access, placement);
        if (!made)
            return made.error();
        *slot = std::move(made).value();
    }
    const EnabledPrivileges privileges{"SeBackupPrivilege", "SeRestorePrivilege", "SeTakeOwnershipPrivilege"};
    return Secure(path, descriptors, true);
}

} // namespace tess::platform::win32
