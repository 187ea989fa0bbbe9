// Associations are written where the shell looks them up, HKEY_CLASSES_ROOT: the extension's
// key names the type, and the type's "shell\open\command" holds the command line.
#include "associations.h"

#include <windows.h>

#include <utility>

#include "registry_files.h"

namespace tess::e2e {

namespace {

Status Refused(const std::string& what, LONG code) {
    return Error{ErrorCode::CannotOpen, what + ": registry error " + std::to_string(code)};
}

bool IsExtension(const std::string& extension) {
    return extension.size() > 1 && extension[0] == '.' &&
           extension.find_first_of("\\/") == std::string::npos;
}

} // namespace

Status AssociateExtension(const std::string& extension, const std::string& progId,
                          const std::string& command) {
    if (!IsExtension(extension) || progId.empty() || progId.find('\\') != std::string::npos)
        return Error{ErrorCode::InvalidArgument, "not an extension and type: " + extension + " " + progId};
    if (Status typed = WriteRegistryString(HKEY_CLASSES_ROOT, extension, "", progId); !typed)
        return typed;
    return WriteRegistryString(HKEY_CLASSES_ROOT, progId + "\\shell\\open\\command", "", command);
}

Status RemoveAssociation(const std::string& extension) {
    // Refused before it reaches the registry: an empty name would delete the classes' root.
    if (!IsExtension(extension))
        return Error{ErrorCode::InvalidArgument, "not an extension: " + extension};
    // The merged classes show a user's own association first, so that one goes as well.
    for (const auto& [root, key] : {std::pair{HKEY_CURRENT_USER, "Software\\Classes\\" + extension},
                                    std::pair{HKEY_CLASSES_ROOT, extension}}) {
        const LONG code = RegDeleteTreeA(root, key.c_str());
        if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND)
            return Refused("key " + key, code);
    }
    return Status::Ok();
}

} // namespace tess::e2e
