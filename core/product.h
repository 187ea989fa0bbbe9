// The contract the three programs keep with each other and with the system: the product's names,
// its files, its registry keys and value names, and the window title the others close it by.
#pragma once

namespace tess::product {

// The name the product goes by everywhere the user sees it: the skin maker's window title, the
// application folder, the Start-menu group and the entry in the system's list of programs. The
// setup program and the uninstaller ask a running skin maker to close by this title, so it is
// one name, not several that happen to agree.
inline constexpr const char* kName = "Tessary";
inline constexpr const char* kWindowTitle = kName;
// The skin maker's main window, as the user sees it (and the tests find it) on the screen.
inline constexpr const char* kSkinMakerCaption = "Tessary IE Skin Maker";
inline constexpr const char* kAppFolderName = kName;
inline constexpr const char* kGroupName = kName;
// The group's shortcuts by caption (the file is the caption with ".lnk"). The setup program writes
// these; the uninstaller deletes these names, and nothing else, from a group the user may write.
inline constexpr const char* kProgramShortcut = kName;
inline constexpr const char* kUninstallShortcut = "Uninstall Tessary";
inline constexpr const char* kVersion = "1.0";
inline constexpr const char* kPublisher = "Halvory";

// The skin maker's named mutex: one copy runs at a time.
inline constexpr const char* kInstanceMutex = "Tessary.SkinMaker.SingleInstance";

// Files: the programs as the cabinet holds them and the application folder keeps them, the
// cabinet beside the setup program, and what the skin maker writes beside itself. The build
// reads the program and cabinet names from here (cmake/TessProduct.cmake) to pack the
// distributable, so each name must stay a plain literal on its own line.
inline constexpr const char* kProgramFile = "Tessary.exe";
inline constexpr const char* kUninstallerFile = "remover.exe";
inline constexpr const char* kSetupFile = "orvinst.exe";
inline constexpr const char* kCabinetFile = "tess10.cab";
inline constexpr const char* kSkinFile = "Skin.bmp";
inline constexpr const char* kCollectionFolder = "Collection";
// The folder below the user's local application data that holds the skin and the collection
// when the skin maker's own folder is not the user's to write.
inline constexpr const char* kDataFolderName = kName;

// Keys below HKEY_LOCAL_MACHINE: the uninstall entry that the system's list of programs shows,
// the application path that lets the system start the skin maker by name, and a settings key
// that nothing writes today but that an earlier version may have left.
inline constexpr const char* kUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessary";
inline constexpr const char* kAppPathKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tessary.exe";
inline constexpr const char* kSettingsKey = "SOFTWARE\\Tessary";

// Values of the uninstall entry. The setup program writes them; the uninstaller finds the
// application folder through kUninstallString.
inline constexpr const char* kDisplayName = "DisplayName";
inline constexpr const char* kUninstallString = "UninstallString";
inline constexpr const char* kDisplayIcon = "DisplayIcon";
inline constexpr const char* kDisplayVersion = "DisplayVersion";
inline constexpr const char* kPublisherValue = "Publisher";
inline constexpr const char* kInstallLocation = "InstallLocation";
inline constexpr const char* kEstimatedSize = "EstimatedSize";
inline constexpr const char* kNoModify = "NoModify";
inline constexpr const char* kNoRepair = "NoRepair";
// Values of the application path: its default value ("") and "Path" both hold the program's
// full path.
inline constexpr const char* kAppPathValue = "Path";

} // namespace tess::product
