// A cabinet archive held open for reading alone, and its named entries taken out through the
// system's cabinet library (FDI in cabinet.dll, loaded from the system folder only).
#pragma once

#include <memory>
#include <string>

#include "core/result.h"
#include "installer/install_services.h"
#include "platform/win32/handles.h"

namespace tess::installer::win32 {

// The cabinet opened with leave for others to read it and nothing else: while it is held, no one
// can write, rename or delete it, and every extraction reads this one opening, never its name.
class Win32OpenedCabinet : public OpenedCabinet {
public:
    Win32OpenedCabinet(platform::win32::UniqueKernelHandle file, std::string path, uint64_t length)
        : file_(std::move(file)), path_(std::move(path)), length_(length) {}
    uint64_t Length() const override { return length_; }
    // Writes the entry `entry` to `destinationPath`, replacing a file there. Only that file is
    // written (through a temporary sibling that is moved into place), so entry names in the
    // cabinet never decide where anything goes. An entry name that is a path leaving its folder
    // ("..", a root or a drive) is refused; a missing entry, a damaged cabinet or a missing
    // library is an error and leaves the destination as it was.
    Status Extract(const std::string& entry, const std::string& destinationPath) override;

private:
    platform::win32::UniqueKernelHandle file_;
    std::string path_;
    uint64_t length_;
};

// Opens the cabinet at `cabinetPath` (FileNotFound when nothing is there, CannotOpen when another
// program writes it or it is a folder).
Result<std::unique_ptr<OpenedCabinet>> OpenCabinet(const std::string& cabinetPath);

class Win32CabinetExtractor : public CabinetExtractor {
public:
    Result<std::unique_ptr<OpenedCabinet>> Open(const std::string& cabinetPath) override {
        return OpenCabinet(cabinetPath);
    }
};

} // namespace tess::installer::win32
