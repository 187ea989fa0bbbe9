// In-memory stand-ins for the installation's services besides the file system: a cabinet whose
// entries are strings, a digest, shortcut files, program folders, and the system's version,
// drives and special folders.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "installer/install_services.h"
#include "platform/program_folders.h"
#include "platform/system_info.h"
#include "tests/support/memory_file_system.h"

namespace tess::testing {

using namespace tess::installer;

// A cabinet is the set of entries of the file at its path. Opening it holds that file open, as
// the system's sharing would, until the opened cabinet goes; extraction writes an entry into a
// file, which fails as a write there does.
class FakeCabinet : public CabinetExtractor {
public:
    explicit FakeCabinet(MemoryFileSystem& files) : files_(files) {}
    std::map<std::string, std::string> entries;
    // What every extraction after the first gives instead of `entries`, as a cabinet read by name
    // again after someone swapped it would.
    std::optional<std::map<std::string, std::string>> laterEntries;
    std::vector<std::string> written;
    int opened = 0;

    Result<std::unique_ptr<OpenedCabinet>> Open(const std::string& cabinetPath) override {
        const Result<uint64_t> length = files_.FileLength(cabinetPath);
        if (!length)
            return length.error();
        ++opened;
        return std::unique_ptr<OpenedCabinet>(std::make_unique<Opened>(*this, cabinetPath, length.value()));
    }

private:
    class Opened : public OpenedCabinet {
    public:
        Opened(FakeCabinet& cabinet, std::string path, uint64_t length)
            : cabinet_(cabinet), path_(std::move(path)), length_(length) {
            cabinet_.files_.holdOpen(path_);
        }
        ~Opened() override { cabinet_.files_.release(path_); }
        uint64_t Length() const override { return length_; }
        Status Extract(const std::string& entry, const std::string& destinationPath) override {
            const auto& from = extractions_++ > 0 && cabinet_.laterEntries ? *cabinet_.laterEntries : cabinet_.entries;
            auto found = from.find(entry);
            if (found == from.end())
                return Error{ErrorCode::FileNotFound, entry};
            const std::string& bytes = found->second;
            if (Status wrote = cabinet_.files_.WriteFileReplacing(destinationPath,
                                                                  std::vector<uint8_t>(bytes.begin(), bytes.end()));
                !wrote)
                return wrote;
            cabinet_.written.push_back(destinationPath);
            return Status::Ok();
        }

    private:
        FakeCabinet& cabinet_;
        std::string path_;
        uint64_t length_;
        int extractions_ = 0;
    };

    MemoryFileSystem& files_;
};

// Stands in for the system's SHA-256: the bytes' length and two FNV-1a sums spread over the
// digest, which tell apart any two files the tests write; `fails` makes it answer an error.
inline Sha256Digest FakeDigest(const std::string& bytes) {
    Sha256Digest digest{};
    uint64_t sums[2] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull};
    for (const char c : bytes) {
        for (uint64_t& sum : sums)
            sum = (sum ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;
    }
    const uint64_t words[3] = {bytes.size(), sums[0], sums[1]};
    for (size_t i = 0; i < 24; ++i)
        digest[i] = static_cast<uint8_t>(words[i / 8] >> (i % 8 * 8));
    return digest;
}

// The digests a build would record for a cabinet of `entries`.
inline PackedDigests DigestsOf(const std::map<std::string, std::string>& entries) {
    PackedDigests digests;
    for (const auto& [name, bytes] : entries)
        digests[name] = FakeDigest(bytes);
    return digests;
}

class FakeHasher : public Sha256Hasher {
public:
    bool fails = false;
    Result<Sha256Digest> Sha256(const std::vector<uint8_t>& bytes) override {
        if (fails)
            return Error{ErrorCode::NotSupported, "no hashing"};
        return FakeDigest(std::string(bytes.begin(), bytes.end()));
    }
};

struct Link {
    std::string path, target, arguments, description;
};

// Notes each shortcut; with `files` set it also writes the shortcut's file there, as the shell's
// link object saves one, so that its writing counts among the installation's changes.
class FakeLinks : public ShellLinks {
public:
    std::vector<Link> links;
    MemoryFileSystem* files = nullptr;
    Status CreateLink(const std::string& linkPath, const std::string& target,
                      const std::string& arguments, const std::string& description) override {
        if (files) {
            const std::string bytes = target + "|" + arguments + "|" + description;
            if (Status saved = files->WriteFileReplacing(linkPath, std::vector<uint8_t>(bytes.begin(), bytes.end()));
                !saved)
                return saved;
        }
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

class FakeSystem : public platform::SystemInfo {
public:
    std::optional<platform::OsVersion> version = platform::OsVersion{2, 6};
    std::map<int, std::string> specialFolders = {
        {platform::kCsidlPrograms, "C:\\Users\\me\\Start Menu\\Programs"},
        {platform::kCsidlCommonPrograms, "C:\\All\\Programs"}};

    std::optional<platform::OsVersion> Version() const override { return version; }
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
