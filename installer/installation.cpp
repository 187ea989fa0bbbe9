// Each step of the installation ignores its own failure, as the user can do nothing about it
// mid-way; what decides the outcome is whether both programs are in place afterwards.
#include "installation.h"

#include "setup_strings.h"

namespace tess::installer {

namespace {

// The installed size in KiB as the system's list of programs shows it, rounded up.
uint32_t SizeInKb(InstallFileSystem& files, const std::vector<std::string>& paths) {
    uint64_t bytes = 0;
    for (const std::string& path : paths) {
        if (const Result<uint64_t> length = files.FileLength(path); length.ok())
            bytes += length.value();
    }
    return static_cast<uint32_t>((bytes + 1023) / 1024);
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
                           const std::string& installDir, const ProductInfo& product) {
    InstallReport report;
    InstallFileSystem& files = services.files;
    const std::string cabinet = setupFolder + "\\" + kCabinetName;
    if (!FileIsPresent(files, cabinet))
        return report;

    report.appDir = installDir + "\\Tessary";
    (void)files.CreateFolder(report.appDir);

    const std::vector<std::string> programs = {product.program, product.uninstaller};
    std::vector<std::string> paths;
    for (const std::string& program : programs) {
        const std::string path = report.appDir + "\\" + program;
        paths.push_back(path);
        if (FileIsPresent(files, path))
            files.ShellDeleteFile(path);
        (void)files.RemoveFile(path);
    }
    for (size_t i = 0; i < programs.size(); ++i) {
        const bool extracted = services.cabinet.Extract(cabinet, programs[i], paths[i]).ok();
        report.lines.push_back(ProgramDisplayPath(paths[i]));
        if (!extracted || !FileIsPresent(files, paths[i]))
            report.missingPrograms.push_back(programs[i]);
    }

    if (!report.missingPrograms.empty()) {
        for (const std::string& line : FailureLines(report.missingPrograms))
            report.lines.push_back(line);
        report.outcome = InstallReport::Outcome::ProgramsMissing;
        report.groupSkipped = true;
        return report;
    }

    report.registryFailures =
        WriteRegistration(services.registry, report.appDir, product, SizeInKb(files, paths));
    report.group = CreateProgramGroup(services.system, files, services.links, report.appDir,
                                      "Tessary", true, false,
                                      {{product.program, "Tessary"},
                                       {product.uninstaller, "Uninstall Tessary"}});
    if (report.group.noShellFolder) {
        report.groupSkipped = true;
        report.lines.push_back("No Start menu group: the Programs folder was not found.");
    }

    if (FileIsPresent(files, cabinet))
        files.ShellDeleteFile(cabinet);
    (void)files.RemoveFile(cabinet);
    report.cabinetDeleted = !files.FileLength(cabinet).ok();
    report.outcome = InstallReport::Outcome::Installed;
    return report;
}

} // namespace tess::installer
