// The programs arrive under names of their own beside the installed ones and replace them only as
// a pair; every later step ignores its own failure, as the user can do nothing about it mid-way.
#include "installation.h"

#include <optional>

#include "platform/file_system.h"
#include "setup_strings.h"
#include "ui/error_rules.h"

namespace tess::installer {

namespace {

// The installed size in KiB as the system's list of programs shows it, rounded up.
uint32_t SizeInKb(platform::FileSystem& files, const std::vector<std::string>& paths) {
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
void Discard(platform::FileSystem& files, const std::string& path) {
    ui::HandlerErrors<ui::OnError::Resume> on;
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
std::optional<size_t> ReplacePrograms(platform::FileSystem& files,
                                      const std::vector<Replacement>& replacements) {
    ui::HandlerErrors<ui::OnError::Resume> on;
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

} // namespace

std::vector<std::string> FailureLines(const std::vector<std::string>& missingPrograms) {
    std::vector<std::string> lines;
    for (const std::string& program : missingPrograms)
        lines.push_back(program + " could not be installed.");
    lines.push_back("The setup files were kept; please run setup again.");
    return lines;
}

InstallReport InstallFiles(InstallServices services, const std::string& setupFolder,
                           const std::string& installDir) {
    ui::HandlerErrors<ui::OnError::Resume> on;
    InstallReport report;
    platform::FileSystem& files = services.files;
    const std::string cabinet = setupFolder + "\\" + product::kCabinetFile;
    if (!platform::HasContent(files, cabinet))
        return report;

    report.appDir = installDir + "\\" + product::kAppFolderName;
    on.step(files.CreateFolder(report.appDir));

    // The arriving names lie in the application folder, so that each move into place stays on
    // its volume.
    std::vector<Replacement> replacements;
    for (const std::string program : {product::kProgramFile, product::kUninstallerFile}) {
        const std::string path = report.appDir + "\\" + program;
        replacements.push_back({program, path + ".new", path, path + ".old"});
    }
    for (const Replacement& r : replacements) {
        const bool extracted = services.cabinet.Extract(cabinet, r.program, r.arrived).ok();
        report.lines.push_back(ProgramDisplayPath(r.installed));
        if (!extracted || !platform::HasContent(files, r.arrived))
            report.missingPrograms.push_back(r.program);
    }
    if (report.missingPrograms.empty()) {
        // The uninstaller goes first: the installed skin maker is the one a running copy keeps
        // from being replaced, and the last replacement needs no way back.
        const std::vector<Replacement> order(replacements.rbegin(), replacements.rend());
        if (const std::optional<size_t> failed = ReplacePrograms(files, order))
            report.missingPrograms.push_back(order[*failed].program);
    }
    // Whatever did not move into place goes.
    for (const Replacement& r : replacements)
        on.step(files.RemoveFile(r.arrived));

    if (!report.missingPrograms.empty()) {
        for (const std::string& line : FailureLines(report.missingPrograms))
            report.lines.push_back(line);
        report.outcome = InstallReport::Outcome::ProgramsMissing;
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

    Discard(files, cabinet);
    report.cabinetDeleted = !files.FileLength(cabinet).ok();
    report.outcome = InstallReport::Outcome::Installed;
    return report;
}

} // namespace tess::installer
