// The uninstaller's window: its controls as designed, the question before anything is removed,
// the refusal to work on a folder that is not the application folder, and an honest report.
#include "uninstaller/frm_uninstall.h"

#include <memory>
#include <string>
#include <vector>

#include "core/error_rules.h"
#include "core/product.h"
#include "platform/path_text.h"
#include "uninstaller/folder_check.h"
#include "uninstaller/product_removal.h"

namespace tess::uninstaller {

namespace {

constexpr int kAskFlags = ui::kMbYesNo | ui::kMbIconQuestion | ui::kMbDefButton2;

bool Inside(const std::string& path, const std::string& folder) {
    return platform::LastSeparator(path) != std::string::npos &&
           platform::SamePath(platform::ParentFolder(path), folder);
}

} // namespace

Uninstall::Uninstall(UninstallEnv& env)
    : form("Uninstall", {0, 0, 3765, 1485}, "Uninstall", ui::Form::Border::FixedSingle),
      Image1(&form, "Image1", {120, 150, 465, 405}, false),
      Label1(&form, "Label1", {690, 150, 2985, 375}, "Uninstall Tessary"),
      Label2(&form, "Label2", {690, 600, 2985, 315}, "Click Strat to Start Tessary Unstalltion"),
      Command1(&form, "Command1", {1410, 1020, 1095, 405}, "Start"),
      Command2(&form, "Command2", {2580, 1020, 1095, 405}, "Close"),
      env_(env) {
    form.setCentred(true);
    form.setIcon("REMOVER");
    Label1.setFont({"MS Sans Serif", 13.5, false});
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    form.onUnload = [this] { Command2_Click(); };
    form.onDpiChanged = [this](double twipsPerPixel) { Form_DpiChanged(twipsPerPixel); };
}

void Uninstall::Form_Load() {
    Form_DpiChanged(env_.host.twipsPerPixelX());
    CloseRunningCopy();
}

void Uninstall::Form_DpiChanged(double twipsPerPixel) {
    // The box does not stretch, so it takes the icon's own size: the system's for the DPI.
    if (!env_.iconAt) return;
    if (Picture icon = env_.iconAt(twipsPerPixel); !icon.empty())
        Image1.setPicture(std::make_shared<const Picture>(std::move(icon)), twipsPerPixel);
}

void Uninstall::CloseRunningCopy() {
    if (env_.closeRunningCopy)
        env_.closeRunningCopy();
}

void Uninstall::Command2_Click() { env_.host.endProgram(kExitNothingRemoved); }

void Uninstall::Command1_Click() {
    HandlerErrors<OnError::Resume> on;
    const FolderCheck check = CheckApplicationFolder(env_.registry, env_.files, env_.appDir);
    if (!check.installed) {
        env_.host.messageBox("Nothing was removed: " + check.reason + ".",
                             ui::kMbOk | ui::kMbIconExclamation, kUninstallerTitle);
        return;
    }
    if (env_.host.messageBox(std::string("Do you want to uninstall ") + product::kName, kAskFlags,
                             product::kName) != ui::kIdYes)
        return;
    // The copy can go only at the next start, as it is running; until the user said Yes it may
    // still end having done nothing, and the waiting original removes it then.
    for (const std::string& path : env_.copyFiles) {
        if (env_.removeAtRestart)
            on.step(env_.removeAtRestart(path));
    }
    const std::string heldFile = Inside(env_.heldFile, env_.appDir) ? env_.heldFile : std::string();
    const RemovalReport removal =
        RemoveProduct(env_.files, env_.registry, env_.appDir, env_.shellFolder, heldFile, env_.setAside);
    env_.host.endProgram(report(removal));
}

int Uninstall::report(const RemovalReport& removal) {
    constexpr const char* kAtRestart =
        "\r\n\r\nThe uninstaller itself will be removed when the computer restarts.";
    std::vector<std::string> stayed = removal.stayed;
    bool atRestart = false;
    if (removal.heldFileLeft) {
        // The only way to remove a file a running program holds: when the computer next starts.
        atRestart = env_.removeAtRestart && env_.removeAtRestart(env_.heldFile) &&
                    env_.removeAtRestart(env_.appDir);
        if (!atRestart)
            stayed.push_back(env_.heldFile);
    }
    if (stayed.empty() && !removal.noProgramsFolder) {
        env_.host.messageBox(std::string("Uninstallation Complete") + (atRestart ? kAtRestart : ""),
                             ui::kMbOk, kUninstallerTitle);
        return atRestart ? kExitRemovedAtRestart : kExitRemoved;
    }
    std::string text = "Uninstallation is not complete. These could not be removed:";
    for (const std::string& line : stayed)
        text += "\r\n" + line;
    if (removal.noProgramsFolder)
        text += "\r\nthe Start menu group (the Programs folder could not be found)";
    if (atRestart)
        text += kAtRestart;
    env_.host.messageBox(text, ui::kMbOk | ui::kMbIconExclamation, kUninstallerTitle);
    return kExitNotComplete;
}

} // namespace tess::uninstaller
