// The installation: the two programs taken out of the cabinet beside the setup program into the
// application folder, checked against the digests the build recorded, registered, given a
// Start-menu group, and the cabinet removed.
#pragma once

#include <string>
#include <vector>

#include "core/product.h"
#include "platform/files.h"
#include "platform/program_folders.h"
#include "platform/registry.h"
#include "install_services.h"
#include "program_group.h"
#include "registration.h"
#include "platform/system_info.h"

namespace tess::installer {

struct InstallServices {
    platform::Files& files;
    CabinetExtractor& cabinet;
    platform::RegistryApi& registry;
    ShellLinks& links;
    const platform::SystemInfo& system;
    platform::ProgramFolders& folders;
    Sha256Hasher& hasher;
    // What each program taken out of the cabinet must hash to.
    const PackedDigests& packed;
};

struct InstallReport {
    enum class Outcome {
        NoCabinet,        // the cabinet is missing or empty: nothing was changed
        ProgramsMissing,  // a program did not arrive or could not replace the installed one:
                          // the installed programs as they were, nothing registered, cabinet kept
        FolderRefused,    // the application folder could not be made, or the one there holds
                          // more than the product's own files or could not be taken over:
                          // nothing written there, nothing registered, cabinet kept
        SetupDamaged,     // a program arrived with other bytes than the build packed: the
                          // installed programs as they were, nothing registered, cabinet kept
        Installed,
    };
    Outcome outcome = Outcome::NoCabinet;
    std::string appDir;                    // installDir & "\Tessary"
    std::vector<std::string> lines;        // the lines the installing page adds, in order
    std::vector<std::string> failure;      // what the last page says in place of a finished
                                           // installation; empty when installed
    std::vector<std::string> missingPrograms;
    std::vector<std::string> damagedPrograms;  // arrived, but not the ones the build packed
    std::vector<std::string> registryFailures;  // names of values not written
    GroupReport group;
    bool groupSkipped = false;             // not attempted, or no Programs folder
    bool cabinetDeleted = false;
};

// What the installing and the last page say when programs did not arrive, or arrived other than
// the build packed them.
std::vector<std::string> FailureLines(const std::vector<std::string>& missingPrograms,
                                      const std::vector<std::string>& damagedPrograms = {});

// Installs into `installDir` & "\Tessary" from `setupFolder` & "\tess10.cab", opened once and held
// for the whole installation, so that no one can change or swap it meanwhile. The application
// folder is made with the permissions of a folder of programs, which only administrators may
// change; one that exists is used only when it holds nothing but the product's own files (the
// programs, the skin, the collection's bitmaps and what an interrupted run leaves), and is then
// taken over, so that no one who could write there before keeps a way in; a folder that can be
// neither made nor used stops the installation before anything is written. Both programs are
// extracted under temporary names beside the installed ones ("Tessary.exe.new"), and only when
// both arrived whole and with the digests the build recorded do they replace the installed
// programs, as a pair. A program that did not arrive, arrived with other bytes (a cabinet not
// the one this setup was made with) or could not be put in place leaves the installed programs as
// they were, and keeps the product from being registered or given shortcuts and the cabinet from
// being deleted, so that the user can try again. Every later step runs even when an earlier one
// failed.
InstallReport InstallFiles(InstallServices services, const std::string& setupFolder,
                           const std::string& installDir);

} // namespace tess::installer
