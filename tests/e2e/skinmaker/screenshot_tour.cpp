// Takes screenshots of the real skin maker for a person to look at: the main window at the start
// and in each mode, the collection window empty and with skins, and the About box.
#include <windows.h>

#include <cstdio>
#include <string>

#include "core/product.h"
#include "tests/e2e/driver/common_dialogs.h"
#include "tests/e2e/driver/gestures.h"
#include "tests/e2e/driver/message_box.h"
#include "tests/e2e/driver/program.h"
#include "tests/e2e/driver/window_search.h"
#include "tests/e2e/driver/window_shot.h"

namespace {

using namespace tess;
using namespace tess::e2e;

// The whole window, frame included, as the screen shows it, written as a bitmap.
bool Shoot(HWND window, const std::string& path) { return WriteWindowShot(window, path).ok(); }

bool Step(const Status& s, const char* what) {
    if (!s) std::fprintf(stderr, "screenshot_tour: %s: %s\n", what, s.error().message.c_str());
    return s.ok();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: screenshot_tour TESSARY.EXE PICTURE OUT-FOLDER\n");
        return 2;
    }
    const std::string exe = argv[1], picture = argv[2], out = argv[3];
    auto program = RunningProgram::Start({exe, {}, exe.substr(0, exe.find_last_of('\\')), {}});
    if (!program) return 1;
    auto main = FindTopWindow({product::kSkinMakerCaption, "", program.value().processId(), true});
    if (!main) return 1;
    const HWND w = main.value();
    auto control = [&](const char* name) { return FindControl(w, name).value(); };
    const DWORD pid = program.value().processId();

    // The collection window of a new user, then back to the main window.
    const auto showCollection = [&](const char* name) {
        if (!Step(PickMenuItem(w, {"&File", "&View Collection"}), "view collection")) return false;
        auto collection = FindTopWindow({"Skin Collection", "", pid, true});
        if (!collection) return false;
        const bool shot = Shoot(collection.value(), out + "\\" + name);
        return Step(Click(FindControl(collection.value(), "Command3").value()), "close") &&
               Step(WaitForWindowGone(collection.value()), "collection closed") && shot;
    };
    bool ok = Shoot(w, out + "\\main-start.bmp") && showCollection("collection-empty.bmp");
    ok = ok && Step(Click(control("Command1")), "browse") && Step(AnswerOpenDialog(pid, picture), "open");
    ok = ok && Shoot(w, out + "\\main-tile.bmp");
    ok = ok && Step(ClickAndWait(control("Option1(1)")), "single") &&
         Step(Click(control("Command2")), "colour") &&
         Step(AnswerColorDialog(pid, Rgb{40, 90, 160}), "colour dialog") &&
         Step(DragThumb(control("SclHorizonal"), 30), "offset");
    ok = ok && Shoot(w, out + "\\main-single.bmp");
    ok = ok && Step(ClickAndWait(control("Option1(2)")), "stretch");
    ok = ok && Shoot(w, out + "\\main-stretch.bmp");
    // Keep the skin, look at the collection and the About box.
    const auto answer = [&](const char* caption, int button) {
        auto box = FindMessageBox(pid, caption);
        return box && Step(PressMessageButton(box.value(), button), caption);
    };
    ok = ok && Step(Click(control("Command4")), "apply") && answer("Tessary", IDOK) && answer("Confirm", IDYES);
    ok = ok && showCollection("collection-skins.bmp");
    ok = ok && Step(PickMenuItem(w, {"&Help", "&About"}), "about");
    if (ok) {
        auto about = FindTopWindow({"About", "", pid, true});
        ok = about && Shoot(about.value(), out + "\\about.bmp");
    }
    (void)program.value().terminate();
    return ok ? 0 : 1;
}
