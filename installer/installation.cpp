// The programs arrive under names of their own beside the installed ones, are held to the digests
// the build recorded, and replace them only as a pair; every later step ignores its own failure,
// as the user can do nothing about it mid-way.
#include "installation.h"

#include <optional>

#include "core/ascii_case.h"
#include "core/collection_naming.h"
#include "core/error_rules.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "setup_strings.h"

namespace tess::installer {

namespace {

// What a program's name takes while it arrives, and while the installed file waits for the pair
// to be complete.
constexpr const char* kArrivingSuffix = ".new";
constexpr const char* kKeptSuffix = ".old";
constexpr const char* kSetupFilesKept = "The setup files were kept; please run setup again.";
constexpr const char* kSetupFilesToReplace = "Nothing was changed; please download the setup again.";
// Far above either program's size: a longer file is not one the build packed.
constexpr uint64_t kMaxProgramBytes = 64u << 20;

bool SameName(const std::string& a, const std::string& b) { return AsciiLower(a) == AsciiLower(b); }

// A file the product itself puts in the application folder: a program, its leftovers of a
// replacement that was cut short, the skin, or any of these as an unfinished replacing write.
bool IsOwnFileName(const std::string& name) {
    std::vector<std::string> own = {product::kSkinFile};
    for (const std::string program : {product::kProgramFile, product::kUninstallerFile}) {
        own.push_back(program);
        own.push_back(program + kArrivingSuffix);
        own.push_back(program + kKeptSuffix);
    }
    for (const std::string& file : own) {
        if (SameName(name, file) || SameName(name, platform::PartialFileName(file)))
            return true;
    }
    return false;
}

bool IsOwnCollectionFileName(const std::string& name) {
    const std::string unfinished = platform::PartialFileName("");
    const bool partial = name.size() > unfinished.size() &&
                         SameName(name.substr(name.size() - unfinished.size()), unfinished);
    return IsCollectionFileName(partial ? name.substr(0, name.size() - unfinished.size()) : name);
}

// Whether every file directly in `folder` passes `own`, and none is a link; the subfolders' names.
// Nothing when the folder cannot be read.
std::optional<std::vector<std::string>> OwnFilesOnly(platform::Files& files, const std::string& folder,
                                                     bool (*own)(const std::string&)) {
    const Result<std::vector<std::string>> names = files.ListFiles(folder, "*");
    Result<std::vector<std::string>> folders = files.ListFolders(folder);
    if (!names || !folders)
        return std::nullopt;
    for (const std::string& name : names.value()) {
        if (!own(name) || files.IsLink(folder + "\\" + name))
            return std::nullopt;
    }
    return std::move(folders).value();
}

// Whether the existing `appDir` holds nothing but the product's own files, and the collection
// folder with nothing but its bitmaps; a link anywhere, or a folder that cannot be read, refuses
// it. Everything in it is about to belong to the administrators, and the programs in it to be
// run elevated.
bool HoldsOnlyOwnFiles(platform::Files& files, const std::string& appDir) {
    if (files.IsLink(appDir) || !files.FolderExists(appDir))
        return false;
    const std::optional<std::vector<std::string>> folders = OwnFilesOnly(files, appDir, IsOwnFileName);
    if (!folders)
        return false;
    for (const std::string& folder : *folders) {
        if (!SameName(folder, product::kCollectionFolder))
            return false;
        const std::string collection = CollectionFolder(appDir);
        if (files.IsLink(collection))
            return false;
        const std::optional<std::vector<std::string>> below = OwnFilesOnly(files, collection, IsOwnCollectionFileName);
        if (!below || !below->empty())
            return false;
    }
    return true;
}

// Makes the application folder, or takes over the one there when it holds only the product's own
// files; otherwise the line that says why nothing is installed there.
std::optional<std::string> PrepareAppFolder(InstallServices& services, const std::string& appDir) {
    const std::string shown = ProgramDisplayPath(appDir);
    const Status made = services.folders.Create(appDir);
    if (made.ok())
        return std::nullopt;
    if (made.error().code != ErrorCode::AlreadyExists)
        return shown + " could not be created: nothing was installed there.";
    const std::string foreign =
        shown + " holds files that are not " + product::kName + "'s: nothing was installed there.";
    // Looked at before the take-over, so that a folder refused stays as it was, and again after
    // it, since until then others could still change what it holds.
    if (!HoldsOnlyOwnFiles(services.files, appDir))
        return foreign;
    if (const Status taken = services.folders.TakeOver(appDir); !taken.ok()) {
        return taken.error().code == ErrorCode::InvalidArgument
                   ? foreign
                   : "The permissions of " + shown + " could not be set: nothing was installed there.";
    }
    if (!HoldsOnlyOwnFiles(services.files, appDir))
        return foreign;
    return std::nullopt;
}

// The installed size in KiB as the system's list of programs shows it, rounded up.
uint32_t SizeInKb(platform::Files& files, const std::vector<std::string>& paths) {
    uint64_t bytes = 0;
    for (const std::string& path : paths) {
        if (const Result<uint64_t> length = files.FileLength(path); length.ok())
            bytes += length.value();
    }
    return static_cast<uint32_t>((bytes + 1023) / 1024);
}

// A file of ours that is done with, read-only or not. It may lie in a folder the user can write
// (the cabinet in a downloads folder), so it goes through a handle on what is there, never by a
// name looked at first: a link or a folder put in its place is left alone.
void Discard(platform::Files& files, const std::string& path) {
    HandlerErrors<OnError::Resume> on;
    on.step(files.RemovePlainFile(path));
}

// A program that has arrived, the installed file it is to replace, and where that file waits
// until the whole pair is in place.
struct Replacement {
    std::string program, arrived, installed, kept;
};

// Moves each arrived program over its installed one, in order; returns the index of the one that
// could not be moved, after moving every file back where it was, or nothing when all are in
// place. The last replaces its file in a single move, which either happens or leaves that file
// alone, so a program whose file cannot be replaced (one that is running) is best put last. Each
// earlier one first moves its installed file aside, to be put back when a later one fails: the
// programs stay the pair they were rather than a mix of two versions, or one without the other.
std::optional<size_t> ReplacePrograms(platform::Files& files,
                                      const std::vector<Replacement>& replacements) {
    HandlerErrors<OnError::Resume> on;
    std::vector<bool> keptAside;
    std::optional<size_t> failed;
    for (size_t i = 0; i < replacements.size() && !failed; ++i) {
        const Replacement& r = replacements[i];
        const bool aside = i + 1 < replacements.size() && files.FileLength(r.installed).ok();
        // No move replaces a read-only file, though a deletion through the shell would take it:
        // the attribute comes off the one file about to be replaced, and off no other.
        on.step(files.ClearReadOnly(aside ? r.kept : r.installed));
        if (aside && !files.MoveReplacing(r.installed, r.kept).ok()) {
            failed = i;
        } else if (!files.MoveReplacing(r.arrived, r.installed).ok()) {
            if (aside)
                on.step(files.MoveReplacing(r.kept, r.installed));
            failed = i;
        } else {
            keptAside.push_back(aside);
        }
    }
    for (size_t i = keptAside.size(); i-- > 0;) {
        const Replacement& r = replacements[i];
        if (!failed)
            Discard(files, r.kept);
        else if (keptAside[i])
            on.step(files.MoveReplacing(r.kept, r.installed));
        else
            Discard(files, r.installed);
    }
    return failed;
}

// How a program taken out of the cabinet compares with the one the build packed.
enum class Arrival { Missing, Damaged, Whole };

// The file at `arrived` lies in the application folder, which only administrators can change, so
// what is hashed here is what moves into place.
Arrival CheckArrival(InstallServices& services, const std::string& program, const std::string& arrived) {
    if (!platform::HasContent(services.files, arrived))
        return Arrival::Missing;
    const auto expected = services.packed.find(program);
    if (expected == services.packed.end())
        return Arrival::Damaged;
    const Result<std::vector<uint8_t>> bytes = services.files.ReadWholeFile(arrived, kMaxProgramBytes);
    if (!bytes)
        return bytes.error().code == ErrorCode::FileTooLarge ? Arrival::Damaged : Arrival::Missing;
    const Result<Sha256Digest> digest = services.hasher.Sha256(bytes.value());
    if (!digest)
        return Arrival::Missing;
    return digest.value() == expected->second ? Arrival::Whole : Arrival::Damaged;
}

} // namespace

std::vector<std::string> FailureLines(const std::vector<std::string>& missingPrograms,
                                      const std::vector<std::string>& damagedPrograms) {
    std::vector<std::string> lines;
    for (const std::string& program : damagedPrograms)
        lines.push_back("The setup files are damaged: " + program + " is not the one this setup was made with.");
    for (const std::string& program : missingPrograms)
        lines.push_back(program + " could not be installed.");
    // Running again from damaged files would meet the same damage.
    lines.push_back(damagedPrograms.empty() ? kSetupFilesKept : kSetupFilesToReplace);
    return lines;
}

InstallReport InstallFiles(InstallServices services, const std::string& setupFolder,
                           const std::string& installDir) {
    HandlerErrors<OnError::Resume> on;
    InstallReport report;
    platform::Files& files = services.files;
    const std::string cabinet = setupFolder + "\\" + product::kCabinetFile;
    // The cabinet lies in a folder the user can write: it is opened once, before anything is
    // looked at, and every entry comes from that opening.
    Result<std::unique_ptr<OpenedCabinet>> opened = services.cabinet.Open(cabinet);
    if (!opened || opened.value()->Length() == 0)
        return report;
    std::unique_ptr<OpenedCabinet> held = std::move(opened).value();

    report.appDir = installDir + "\\" + product::kAppFolderName;
    if (const std::optional<std::string> refused = PrepareAppFolder(services, report.appDir)) {
        report.failure = {*refused, kSetupFilesKept};
        report.lines = report.failure;
        report.outcome = InstallReport::Outcome::FolderRefused;
        report.groupSkipped = true;
        return report;
    }

    // The arriving names lie in the application folder, so that each move into place stays on
    // its volume.
    std::vector<Replacement> replacements;
    for (const std::string program : {product::kProgramFile, product::kUninstallerFile}) {
        const std::string path = report.appDir + "\\" + program;
        replacements.push_back({program, path + kArrivingSuffix, path, path + kKeptSuffix});
    }
    for (const Replacement& r : replacements) {
        const bool extracted = held->Extract(r.program, r.arrived).ok();
        report.lines.push_back(ProgramDisplayPath(r.installed));
        const Arrival arrival = extracted ? CheckArrival(services, r.program, r.arrived) : Arrival::Missing;
        if (arrival == Arrival::Missing)
            report.missingPrograms.push_back(r.program);
        else if (arrival == Arrival::Damaged)
            report.damagedPrograms.push_back(r.program);
    }
    if (report.missingPrograms.empty() && report.damagedPrograms.empty()) {
        // While the programs are replaced one at a time, the pair in place is for a moment one
        // short or of two versions: an installed entry is taken off the system's list until the
        // pair is whole again, so that a setup cut short there never leaves the list offering
        // an uninstaller that is missing or not the entry's. What is left then is the product's
        // own files, which the next setup takes over.
        const bool wasListed = UnlistProduct(services.registry);
        // The uninstaller goes first: the installed skin maker is the one a running copy keeps
        // from being replaced, and the last replacement needs no way back.
        const std::vector<Replacement> order(replacements.rbegin(), replacements.rend());
        if (const std::optional<size_t> failed = ReplacePrograms(files, order)) {
            report.missingPrograms.push_back(order[*failed].program);
            // The installed pair is as it was: so is its entry.
            if (wasListed)
                on.step(RelistProduct(services.registry));
        }
    }
    // Whatever did not move into place goes.
    for (const Replacement& r : replacements)
        on.step(files.RemoveFile(r.arrived));

    if (!report.missingPrograms.empty() || !report.damagedPrograms.empty()) {
        report.failure = FailureLines(report.missingPrograms, report.damagedPrograms);
        for (const std::string& line : report.failure)
            report.lines.push_back(line);
        report.outcome = report.damagedPrograms.empty() ? InstallReport::Outcome::ProgramsMissing
                                                        : InstallReport::Outcome::SetupDamaged;
        report.groupSkipped = true;
        return report;
    }

    report.registryFailures =
        WriteRegistration(services.registry, report.appDir,
                          SizeInKb(files, {replacements[0].installed, replacements[1].installed}));
    // The product is installed for the whole machine, so its group is every user's: the common
    // Programs folder, the same whoever's credentials the elevated setup runs under.
    report.group = CreateProgramGroup(services.system, files, services.links, report.appDir,
                                      product::kGroupName, false, false,
                                      {{product::kProgramFile, product::kProgramShortcut},
                                       {product::kUninstallerFile, product::kUninstallShortcut}});
    if (report.group.noShellFolder) {
        report.groupSkipped = true;
        report.lines.push_back("No Start menu group: the Programs folder was not found.");
    }

    // Let go of the cabinet first: while it is held, not even this program may delete it.
    held.reset();
    Discard(files, cabinet);
    report.cabinetDeleted = !files.FileLength(cabinet).ok();
    report.outcome = InstallReport::Outcome::Installed;
    return report;
}

} // namespace tess::installer
