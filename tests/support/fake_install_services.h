// In-memory stand-ins for the installation's services: files and folders, a cabinet whose
// entries are strings, shortcut files, and the system's version, drives and special folders.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "installer/install_services.h"
#include "platform/system_info.h"

namespace tess::testing {

using namespace tess::installer;

class FakeFiles : public InstallFileSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::vector<std::string> shellDeleted;
    // Files held open by another program that does not let them go: they can be neither moved,
    // replaced nor deleted.
    std::set<std::string> locked;

    Result<uint64_t> FileLength(const std::string& path) override {
        auto found = files.find(path);
        if (found == files.end())
            return Error{ErrorCode::FileNotFound, path};
        return static_cast<uint64_t>(found->second.size());
    }
    Status CreateFolder(const std::string& path) override {
        if (!folders.insert(path).second)
            return Error{ErrorCode::AlreadyExists, path};
        return Status::Ok();
    }
    void ShellDeleteFile(const std::string& path) override {
        shellDeleted.push_back(path);
        if (!locked.count(path))
            files.erase(path);
    }
    Status RemoveFile(const std::string& path) override {
        if (locked.count(path) && files.count(path))
            return Error{ErrorCode::DeleteFailed, path};
        return files.erase(path) ? Status::Ok() : Status(Error{ErrorCode::FileNotFound, path});
    }
    Status MoveReplacing(const std::string& from, const std::string& to) override {
        auto found = files.find(from);
        if (found == files.end())
            return Error{ErrorCode::FileNotFound, from};
        if (locked.count(from) || (locked.count(to) && files.count(to)))
            return Error{ErrorCode::WriteFailed, to};
        std::string bytes = std::move(found->second);
        files.erase(found);
        files[to] = std::move(bytes);
        return Status::Ok();
    }
};

// A cabinet is the set of entries of the file at its path; extraction copies one into a file.
class FakeCabinet : public CabinetExtractor {
public:
    explicit FakeCabinet(FakeFiles& files) : files_(files) {}
    std::map<std::string, std::string> entries;
    std::vector<std::string> written;

    Status Extract(const std::string& cabinetPath, const std::string& entry,
                   const std::string& destinationPath) override {
        auto found = entries.find(entry);
        if (!files_.files.count(cabinetPath) || found == entries.end())
            return Error{ErrorCode::FileNotFound, entry};
        files_.files[destinationPath] = found->second;
        written.push_back(destinationPath);
        return Status::Ok();
    }

private:
    FakeFiles& files_;
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
