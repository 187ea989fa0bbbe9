// Takes screenshots of the real setup program for a person to look at: the wizard on each of its
// five pages and the directory chooser, walked through with keys and a click on the Change area.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/pointer.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/wait.h"
#include "tests/e2e/driver/window_search.h"
#include "tests/e2e/driver/window_shot.h"

namespace {

using namespace tess;
using namespace tess::e2e;

// The whole window, frame included, written as a bitmap; page 4 is taken as the screen shows it.
bool Shoot(HWND window, const std::string& path, bool repaint = true) {
    const bool written = WriteWindowShot(window, path, repaint).ok();
    if (written) std::printf("%s\n", path.c_str());
    return written;
}

bool Step(const Status& s, const char* what) {
    if (!s) std::fprintf(stderr, "setup_screenshot_tour: %s: %s\n", what, s.error().message.c_str());
    return s.ok();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: setup_screenshot_tour ORVINST.EXE OUT-FOLDER\n"
                             "(a tess10.cab beside the setup program is installed on the way)\n");
        return 2;
    }
    const std::string exe = argv[1], out = argv[2];
    auto program = RunningProgram::Start({exe, {}, exe.substr(0, exe.find_last_of('\\')), {}});
    if (!program) return 1;
    const DWORD pid = program.value().processId();
    auto found = FindTopWindow({"Halvory Installation", "", pid, true});
    if (!found) return 1;
    const HWND w = found.value();
    auto control = [&](const char* name) { return FindControl(w, name).value(); };
    HWND about = control("About");
    const auto page = [&](const char* says) {
        return Step(WaitUntil([&] { return Caption(about).find(says) != std::string::npos; }, says), says);
    };

    bool ok = page("Welcome") && Shoot(w, out + "\\setup-1-welcome.bmp");
    ok = ok && Step(PressKey(w, VK_RETURN), "next") && page("Choose Directory") &&
         Shoot(w, out + "\\setup-2-choose.bmp");
    if (ok) {
        ok = Step(ClickCentre(control("Image1(3)")), "change");
        auto chooser = FindTopWindow({"Change Directory", "", pid, true});
        ok = ok && Step(chooser.status(), "chooser") && Shoot(chooser.value(), out + "\\setup-2-chooser.bmp") &&
             Step(Click(FindControl(chooser.value(), "cmdCancel").value()), "cancel") &&
             Step(WaitForWindowGone(chooser.value()), "chooser closed");
    }
    ok = ok && Step(PressKey(w, VK_RETURN), "next") && page("Start Copying") &&
         Shoot(w, out + "\\setup-3-ready.bmp");
    // Page 4 stays for a second while the program waits: the shot is taken from the screen then.
    // An installation refused before anything was extracted goes straight to the last page.
    ok = ok && Step(PressKey(w, VK_RETURN), "install") &&
         Step(WaitUntil([&] {
                  const std::string says = Caption(about);
                  return says.find("remover.exe") != std::string::npos || says.find("Installation is ") != std::string::npos;
              }, "page 4 or the last page"), "install");
    if (ok && Caption(about).find("remover.exe") != std::string::npos)
        ok = Shoot(w, out + "\\setup-4-installing.bmp", false);
    // The last page of a finished installation, or of one that could not complete.
    ok = ok && page("Installation is ") && Shoot(w, out + "\\setup-5-finished.bmp");
    if (ok && Caption(about).find("Finished") != std::string::npos) {
        ok = Step(PressKey(w, VK_RETURN), "finish");
        auto box = FindMessageBox(pid, "Tessary installation");
        ok = ok && box && Step(PressMessageButton(box.value(), IDNO), "no");
    }
    (void)program.value().terminate();
    return ok ? 0 : 1;
}
