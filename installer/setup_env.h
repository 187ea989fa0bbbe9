// What the setup program's windows need from the program around them: the host, the registry,
// the system, the file system with its folders and drives, the installation's other services
// (the application folder's permissions and the packed programs' digests among them), starting
// the installed skin maker, and its own artwork.
#pragma once

#include <functional>
#include <string>

#include "core/picture.h"
#include "core/result.h"
#include "platform/registry.h"
#include "installer/install_services.h"
#include "platform/file_system.h"
#include "platform/program_folders.h"
#include "platform/system_info.h"
#include "ui/host.h"

namespace tess::installer {

inline constexpr const char* kSetupTitle = "Halvory Setup";

// Starts the installed skin maker as the user at the desktop: not with the setup program's own
// (elevated) rights, so that it reads and writes the user's own settings and files.
class SkinMakerStarter {
public:
    virtual ~SkinMakerStarter() = default;
    // `programFile` is the installed skin maker's full path; it starts in its own folder.
    virtual Status StartAsDesktopUser(const std::string& programFile) = 0;
};

struct SetupEnv {
    ui::Host& host;
    platform::RegistryApi& registry;
    const platform::SystemInfo& system;
    platform::FileSystem& files;
    CabinetExtractor& cabinet;
    ShellLinks& links;
    platform::ProgramFolders& programFolders;
    Sha256Hasher& hasher;
    // The digests of the programs the build packed into the cabinet, recorded in the setup
    // program itself: its elevation vouches for them, and for nothing in the folder beside it.
    PackedDigests packed;
    // The folder the setup program was started from, without a trailing backslash.
    std::string setupFolder;
    // The command line after the program's name.
    std::string commandLine;
    // The wizard's artwork (355 × 234 pixels) and the patch that covers a button face.
    Picture artwork;
    Picture patch;
    // Asks a running skin maker to close.
    std::function<void()> closeRunningCopy = {};
    // Starts the installed skin maker for the last page's Run; none in tests that never run it.
    SkinMakerStarter* skinMaker = nullptr;
    // Shows the installing page as it is now and pauses, so that it can be read before the
    // last page follows.
    std::function<void()> pauseAfterInstalling = {};
};

} // namespace tess::installer
