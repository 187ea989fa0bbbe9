// The lists' folder source over the platform's file and drive roles: the system's in the programs,
// an in-memory one in the tests. The owner keeps it alive as long as the lists it is given to.
#pragma once

#include "platform/drives.h"
#include "platform/files.h"
#include "ui/folder_source.h"

namespace tess::ui {

class FileSystemFolders final : public FolderSource {
public:
    FileSystemFolders(platform::Files& files, platform::Drives& drives) : files_(files), drives_(drives) {}

    Result<std::vector<std::string>> ListFiles(const std::string& folder,
                                               const std::string& pattern) override {
        return files_.ListFiles(folder, pattern);
    }
    Result<std::vector<std::string>> ListFolders(const std::string& folder) override {
        return files_.ListFolders(folder);
    }
    std::vector<platform::DriveInfo> Drives() override { return drives_.List(); }
    Result<std::string> CurrentFolder(char drive) override { return drives_.CurrentFolder(drive); }
    char CurrentDrive() override { return drives_.CurrentDrive(); }

private:
    platform::Files& files_;
    platform::Drives& drives_;
};

} // namespace tess::ui
