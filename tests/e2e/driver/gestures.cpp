// Gestures as window messages: posted where the receiver may open a modal window, sent with a
// time limit where the caller wants to continue only after the receiver has handled them.
#include "gestures.h"

#include "code_page.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace tess::e2e {

namespace {

Status Post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (!IsWindow(window))
        return Error{ErrorCode::InvalidArgument, "no such window"};
    if (!PostMessageA(window, message, wparam, lparam))
        return Error{ErrorCode::CannotOpen, "cannot post message " + std::to_string(message)};
    return Status::Ok();
}

Status SendScroll(HWND bar, int code, int position, Timeout timeout) {
    HWND parent = GetParent(bar);
    if (!IsWindow(bar) || !parent)
        return Error{ErrorCode::InvalidArgument, "no scroll bar control"};
    const bool vertical = (GetWindowLongA(bar, GWL_STYLE) & SBS_VERT) != 0;
    const WPARAM wparam = MAKEWPARAM(code, static_cast<WORD>(static_cast<int16_t>(position)));
    return SendWithin(parent, vertical ? WM_VSCROLL : WM_HSCROLL, wparam, reinterpret_cast<LPARAM>(bar), timeout)
        .status();
}

// The mnemonic of a caption: the character after its single '&', lower-cased as menus match it.
Result<char> Mnemonic(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i + 1])));
        ++i;  // "&&" shows one '&'
    }
    return Error{ErrorCode::InvalidArgument, "menu caption \"" + caption + "\" has no '&' key"};
}

// The open menus of a thread: each shown menu is a top-level window of class #32768.
int OpenMenus(DWORD thread) {
    int count = 0;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (GetWindowThreadProcessId(window, nullptr) == thread && IsWindowVisible(window) &&
            std::string(name) == "#32768")
            ++count;
    }
    return count;
}

// The number of the last menu call whose handler has returned. Calls are numbered so that a
// notice arriving after its caller has given up finds nothing of that caller's to write to.
thread_local ULONG_PTR lastMenuCall = 0, menuCallsReturned = 0;

void CALLBACK MenuCallReturned(HWND, UINT, ULONG_PTR call, LRESULT) {
    if (call > menuCallsReturned)
        menuCallsReturned = call;
}

struct MenuPick {
    Status status;
    bool closedUnopened = false;  // the menu closed again before its first level showed
};

// Polls `done` while handling this thread's messages, through which the notice of a returned
// call arrives.
Status PumpUntil(const std::function<bool()>& done, const std::string& what, Timeout timeout) {
    return WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            return done();
        },
        what, timeout);
}

// One pass of PickMenuItem: Alt with the bar item's key, then the further keys. The window's
// handler runs the menu loop and returns when the menu closes, which the callback reports; the
// loop takes the further keys as they come.
MenuPick PickOnce(HWND window, DWORD thread, const std::string& keys, const std::vector<std::string>& path,
                  Timeout timeout) {
    const ULONG_PTR call = ++lastMenuCall;
    const auto returned = [&] { return menuCallsReturned >= call; };
    if (!SendMessageCallbackA(window, WM_SYSCOMMAND, SC_KEYMENU, keys[0], MenuCallReturned, call))
        return {Error{ErrorCode::CannotOpen, "cannot open the menu"}};
    int shown = 0;
    for (size_t level = 0; level < keys.size(); ++level) {
        if (level > 0)
            if (Status typed = Post(window, WM_CHAR, static_cast<unsigned char>(keys[level]), 1); !typed)
                return {typed};
        if (level + 1 == keys.size())
            break;
        // The next key may only come once this level's menu is shown, or the loop would take it
        // for the level above.
        const Status opened =
            PumpUntil([&] { return returned() || OpenMenus(thread) > shown; }, "menu \"" + path[level] + "\" to open",
                      timeout);
        if (!opened)
            return {opened, level == 0};
        if (returned())
            return {Error{ErrorCode::FileNotFound, "no menu \"" + path[level] + "\" to open"}, level == 0};
        shown = OpenMenus(thread);
    }
    // A picked item closes the menu and posts its command; a key that picks nothing leaves the
    // menu open, and Esc closes it again level by level.
    const Timeout closing = timeout < Timeout(2000) ? timeout : Timeout(2000);
    if (PumpUntil(returned, "the menu to close", closing))
        return {Status::Ok()};
    for (size_t level = 0; level <= keys.size() && !returned(); ++level) {
        (void)Post(window, WM_KEYDOWN, VK_ESCAPE, 1);
        (void)PumpUntil(returned, "the menu to close", Timeout(500));
    }
    return {Error{ErrorCode::FileNotFound, "no menu item \"" + path.back() + "\" under \"" + path.front() + "\""}};
}

} // namespace

Status Click(HWND button) { return Post(button, BM_CLICK, 0, 0); }

Status ClickAndWait(HWND button, Timeout timeout) {
    if (!IsWindow(button))
        return Error{ErrorCode::InvalidArgument, "no such window"};
    return SendWithin(button, BM_CLICK, 0, 0, timeout).status();
}

Status Scroll(HWND bar, int code, Timeout timeout) { return SendScroll(bar, code, 0, timeout); }

Status TrackThumb(HWND bar, int position, Timeout timeout) {
    return SendScroll(bar, SB_THUMBTRACK, position, timeout);
}

Status DragThumb(HWND bar, int position, Timeout timeout) {
    for (int code : {SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL})
        if (Status sent = SendScroll(bar, code, code == SB_ENDSCROLL ? 0 : position, timeout); !sent)
            return sent;
    return Status::Ok();
}

namespace {

// How long a picked item is given to show the window it opens before the pick is taken for one
// that a cancelled menu ate, if its form still takes input.
constexpr Timeout kPickShowsWindow{5000};

// Picks the item until `took` holds after a pick that reported success, twice at most: the one
// place where a menu pick is made again. `took` says whether the pick had its effect or may have
// had it, so that a command that ran is never run twice. A second pick is reported on stderr, so
// that the test's output shows a run that needed one; a third would hide a fault, not Wine's pace.
Status PickMenuItemUntil(HWND window, const std::vector<std::string>& path, Timeout timeout,
                         const std::function<bool()>& took) {
    if (path.empty())
        return Error{ErrorCode::InvalidArgument, "empty menu path"};
    std::string keys;
    std::string shown;
    for (const std::string& caption : path) {
        const auto key = Mnemonic(caption);
        if (!key)
            return key.status();
        keys += key.value();
        shown += (shown.empty() ? "" : " > ") + caption;
    }
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!thread)
        return Error{ErrorCode::InvalidArgument, "no such window"};
    constexpr int kPicks = 2;
    for (int pickNumber = 1; pickNumber <= kPicks; ++pickNumber) {
        // A window under a modal dialog takes no menu keys until the dialog has given it back.
        if (Status enabled = WaitUntil([&] { return IsWindowEnabled(window) != FALSE; },
                                       "the window to take input", timeout);
            !enabled)
            return enabled;
        const MenuPick pick = PickOnce(window, thread, keys, path, timeout);
        const bool last = pickNumber == kPicks;
        if (pick.closedUnopened && !last) {
            std::fprintf(stderr, "driver: menu \"%s\" closed before its first level showed; picking it again\n",
                         shown.c_str());
            continue;
        }
        if (!pick.status || took())
            return pick.status;
        if (!last)
            std::fprintf(stderr, "driver: menu pick \"%s\" showed no effect; picking it again\n", shown.c_str());
    }
    return Error{ErrorCode::TimedOut, "two picks of \"" + shown + "\" showed no effect"};
}

} // namespace

Status PickMenuItem(HWND window, const std::vector<std::string>& path, Timeout timeout) {
    return PickMenuItemUntil(window, path, timeout, [] { return true; });
}

Result<HWND> PickMenuItemForWindow(HWND window, const std::vector<std::string>& path, const WindowQuery& opened,
                                   Timeout timeout) {
    Result<HWND> shown = Error{ErrorCode::TimedOut, "no window \"" + opened.title + "\" showed"};
    const Status picked = PickMenuItemUntil(window, path, timeout, [&] {
        shown = FindTopWindow(opened, std::min(timeout, kPickShowsWindow));
        if (shown)
            return true;
        // A form disabled or hidden says the command ran and the window it opens is only slow.
        if (!IsWindowEnabled(window) || !IsWindowVisible(window)) {
            shown = FindTopWindow(opened, timeout);
            return true;
        }
        return false;
    });
    if (!picked)
        return picked.error();
    return shown;
}

Status PickListEntry(HWND list, int index, bool open, Timeout timeout) {
    char name[32] = {};
    GetClassNameA(list, name, sizeof name);
    const bool combo = lstrcmpiA(name, "ComboBox") == 0;
    if (!combo && lstrcmpiA(name, "ListBox") != 0)
        return Error{ErrorCode::InvalidArgument, std::string("not a list: a window of class ") + name};
    HWND owner = GetParent(list);
    if (!owner)
        return Error{ErrorCode::InvalidArgument, "the list has no owner to tell"};
    const auto selected = SendWithin(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0, timeout);
    if (!selected)
        return selected.status();
    if (selected.value() != index)
        return Error{ErrorCode::InvalidArgument, "the list has no entry " + std::to_string(index)};
    const WORD id = static_cast<WORD>(GetDlgCtrlID(list));
    const auto notify = [&](WORD code) {
        return Post(owner, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(list));
    };
    if (combo)
        return notify(CBN_SELCHANGE);
    if (Status changed = notify(LBN_SELCHANGE); !changed || !open)
        return changed;
    return notify(LBN_DBLCLK);
}

Status PressKey(HWND window, UINT virtualKey) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!thread)
        return Error{ErrorCode::InvalidArgument, "no such window"};
    GUITHREADINFO input{};
    input.cbSize = sizeof input;
    HWND target = window;
    if (GetGUIThreadInfo(thread, &input) && IsWindow(input.hwndFocus) &&
        GetWindowThreadProcessId(input.hwndFocus, nullptr) == thread)
        target = input.hwndFocus;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    if (Status down = Post(target, WM_KEYDOWN, virtualKey, 1 | scan); !down)
        return down;
    // The key may already have closed the window (Esc on a cancel button); the release then has
    // nowhere to go, as with a real keyboard.
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | scan | (1 << 30) | (1u << 31));
    return Status::Ok();
}

Status SetText(HWND edit, const std::string& text, Timeout timeout) {
    const std::wstring wide = Wide(text);
    const auto set = SendWideWithin(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), timeout);
    if (!set)
        return set.status();
    if (!set.value())
        return Error{ErrorCode::CannotOpen, "the control refused the text"};
    return Status::Ok();
}

} // namespace tess::e2e
