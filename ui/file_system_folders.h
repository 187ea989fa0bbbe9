// The lists' folder source over a platform file system: the system's in the programs, an
// in-memory one in the tests. The owner keeps it alive as long as the lists it is given to.
#pragma once

#include "platform/file_system.h"
#include "ui/folder_source.h"

namespace tess::ui {

class FileSystemFolders final : public FolderSource {
public:
    explicit FileSystemFolders(platform::FileSystem& files) : files_(files) {}

    Result<std::vector<std::string>> ListFiles(const std::string& folder,
                                               const std::string& pattern) override {
        return files_.ListFiles(folder, pattern);
    }
    Result<std::vector<std::string>> ListFolders(const std::string& folder) override {
        return files_.ListFolders(folder);
    }
    std::vector<platform::DriveInfo> Drives() override { return files_.Drives(); }
    Result<std::string> CurrentFolder(char drive) override { return files_.CurrentFolder(drive); }
    char CurrentDrive() override { return files_.CurrentDrive(); }

private:
    platform::FileSystem& files_;
};

} // namespace tess::ui
