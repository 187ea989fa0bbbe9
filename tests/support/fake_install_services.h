// In-memory stand-ins for the installation's services besides the file system: a cabinet whose
// entries are strings, shortcut files, program folders, and the system's version, drives and
// special folders.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "installer/install_services.h"
#include "platform/program_folders.h"
#include "platform/system_info.h"
#include "tests/support/memory_file_system.h"

namespace tess::testing {

using namespace tess::installer;

// A cabinet is the set of entries of the file at its path; extraction writes one into a file,
// which fails as a write there does.
class FakeCabinet : public CabinetExtractor {
public:
    explicit FakeCabinet(MemoryFileSystem& files) : files_(files) {}
    std::map<std::string, std::string> entries;
    std::vector<std::string> written;

    Status Extract(const std::string& cabinetPath, const std::string& entry,
                   const std::string& destinationPath) override {
        auto found = entries.find(entry);
        if (!files_.FileExists(cabinetPath) || found == entries.end())
            return Error{ErrorCode::FileNotFound, entry};
        const std::string& bytes = found->second;
        if (Status wrote = files_.WriteFileReplacing(destinationPath, std::vector<uint8_t>(bytes.begin(), bytes.end()));
            !wrote)
            return wrote;
        written.push_back(destinationPath);
        return Status::Ok();
    }

private:
    MemoryFileSystem& files_;
};

struct Link {
    std::string path, target, arguments, description;
};

class FakeLinks : public ShellLinks {
public:
    std::vector<Link> links;
    Status CreateLink(const std::string& linkPath, const std::string& target,
                      const std::string& arguments, const std::string& description) override {
        links.push_back({linkPath, target, arguments, description});
        return Status::Ok();
    }
};

// Program folders without permissions: a new one is a plain folder of the in-memory file system.
// Every request is noted ("create <path>", "take over <path>"); a take-over answers what
// `takeOver` says, which may also change the folder as someone could just before it.
class FakeProgramFolders : public platform::ProgramFolders {
public:
    explicit FakeProgramFolders(MemoryFileSystem& files) : files_(files) {}
    std::vector<std::string> asked;
    std::function<Status(const std::string&)> takeOver = [](const std::string&) { return Status::Ok(); };

    Status Create(const std::string& path) override {
        asked.push_back("create " + path);
        if (files_.FileExists(path) || files_.FolderExists(path) || files_.IsLink(path))
            return Error{ErrorCode::AlreadyExists, path};
        return files_.CreateFolder(path);
    }
    Status TakeOver(const std::string& path) override {
        asked.push_back("take over " + path);
        return takeOver(path);
    }

private:
    MemoryFileSystem& files_;
};

class FakeSystem : public SystemInfo {
public:
    std::optional<OsVersion> version = OsVersion{2, 6};
    std::map<int, std::string> specialFolders = {
        {kCsidlPrograms, "C:\\Users\\me\\Start Menu\\Programs"},
        {kCsidlCommonPrograms, "C:\\All\\Programs"}};
    std::map<int, uint32_t> drives = {{2, kDriveFixed}};

    std::optional<OsVersion> Version() const override { return version; }
    uint32_t DriveType(int index) const override {
        auto found = drives.find(index);
        return found == drives.end() ? kDriveNoRootDir : found->second;
    }
    Result<std::string> SpecialFolder(int csidl) const override {
        auto found = specialFolders.find(csidl);
        if (found == specialFolders.end())
            return Error{ErrorCode::FileNotFound, "no such folder"};
        return found->second;
    }
    Result<std::string> WindowsFolder() const override { return std::string("C:\\Windows"); }
    Result<std::string> SystemFolder() const override {
        return std::string("C:\\Windows\\system32");
    }
    Result<std::string> TempFolder() const override { return std::string("C:\\Temp\\"); }
};

} // namespace tess::testing
