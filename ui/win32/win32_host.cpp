// The Win32 host: forms realized on demand, modal showing with the program's other windows
// disabled, message boxes owned by the active form, and the loop that gives each message to
// the dialog keys of its form.
#include "ui/win32/win32_host.h"

#include "ui/win32/win32_form_window.h"
#include "ui/win32/win32_input.h"

namespace tess::ui::win32 {

namespace {

// The visible, enabled top-level windows of this thread other than one.
struct OtherWindows {
    HWND except;
    std::vector<HWND> windows;

    static BOOL CALLBACK Collect(HWND window, LPARAM self) {
        auto* found = reinterpret_cast<OtherWindows*>(self);
        if (window != found->except && IsWindowVisible(window) && IsWindowEnabled(window))
            found->windows.push_back(window);
        return TRUE;
    }
};

} // namespace

Win32Host::Win32Host(std::string programTitle) : title_(std::move(programTitle)) {
    DeclareDpiAware();
    screen_ = ScreenMeasure::OfScreen();
}

void Win32Host::setCaptions(std::vector<CaptionBox> captions) {
    captions_ = std::move(captions);
    for (auto& [dpi, fonts] : fonts_) retiredFonts_.push_back(std::move(fonts));
    fonts_.clear();
}

const DpiFonts& Win32Host::fontsAt(int dpi) {
    std::unique_ptr<DpiFonts>& fonts = fonts_[dpi];
    if (!fonts) {
        fonts = std::make_unique<DpiFonts>();
        fonts->screen = dpi == screen_.dpiY ? screen_ : ScreenMeasure::AtDpi(dpi);
        fonts->choice = ChooseDialogFont(fonts->screen, captions_);
        fonts->font = CreateDialogFont(fonts->choice);
        fonts->measure = std::make_shared<const Win32TextMeasure>(fonts->screen, fonts->choice);
    }
    return *fonts;
}

const ScreenMeasure& Win32Host::screenOf(const Form& form) const {
    auto it = forms_.find(&form);
    return it == forms_.end() ? screen_ : it->second->screen();
}

Win32Host::~Win32Host() {
    for (auto& [form, window] : forms_) window->close();
    forms_.clear();
    closed_.clear();
}

Status Win32Host::realize(Form& form) {
    freeClosedForms();
    if (loaded(form)) return Status::Ok();
    const DpiFonts& fonts = fontsAt(screen_.dpiY);
    form.setTextMeasure(fonts.measure);
    auto window = std::make_unique<FormWindow>(*this, BindingContext{fonts.screen, fonts.font.get()}, form);
    if (!window->create())
        return Error{ErrorCode::CannotOpen, "The window of " + form.name() + " cannot be created"};
    forms_.emplace(&form, std::move(window));
    return Status::Ok();
}

HWND Win32Host::controlWindow(const Form& form, const Control& control) const {
    auto it = forms_.find(&form);
    return it == forms_.end() ? nullptr : it->second->controlWindow(control);
}

uintptr_t Win32Host::windowHandle(const Form& form) const {
    auto it = forms_.find(&form);
    return it == forms_.end() ? 0 : reinterpret_cast<uintptr_t>(it->second->hwnd());
}

Status Win32Host::show(Form& form, bool modal) {
    if (Status realized = realize(form); !realized) return realized;
    HWND window = reinterpret_cast<HWND>(windowHandle(form));
    if (!modal) {
        form.setVisible(true);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        return Status::Ok();
    }

    const HWND previous = activeFormWindow();
    // Every other visible, enabled window of the program is disabled while the form is up.
    OtherWindows disabled{window, {}};
    EnumThreadWindows(GetCurrentThreadId(), &OtherWindows::Collect,
                      reinterpret_cast<LPARAM>(&disabled));
    for (HWND w : disabled.windows) EnableWindow(w, FALSE);

    form.setVisible(true);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    while (loaded(form) && form.visible())
        if (!pumpOne()) break;

    for (HWND w : disabled.windows)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    if (previous && IsWindow(previous) && IsWindowVisible(previous)) SetActiveWindow(previous);
    return Status::Ok();
}

double Win32Host::screenWidthTwips() const {
    return GetSystemMetrics(SM_CXSCREEN) * screen_.twipsPerPixelX();
}

double Win32Host::screenHeightTwips() const {
    return GetSystemMetrics(SM_CYSCREEN) * screen_.twipsPerPixelY();
}

void Win32Host::hide(Form& form) { form.setVisible(false); }

void Win32Host::unload(Form& form) {
    auto it = forms_.find(&form);
    if (it == forms_.end()) return;
    std::unique_ptr<FormWindow> window = std::move(it->second);
    forms_.erase(it);
    window->close();
    form.setVisible(false);
    if (WindowBase::InsideProcedure())
        closed_.push_back(std::move(window));
}

void Win32Host::endProgram(int exitCode) {
    for (auto& [form, window] : forms_) window->close();
    ExitProcess(static_cast<UINT>(exitCode));
}

HWND Win32Host::activeFormWindow() const {
    const HWND active = GetActiveWindow();
    HWND fallback = nullptr;
    for (const auto& [form, window] : forms_) {
        if (window->hwnd() == active) return active;
        if (!fallback && IsWindowVisible(window->hwnd())) fallback = window->hwnd();
    }
    return fallback;
}

int Win32Host::messageBox(const std::string& text, int flags, const std::string& caption) {
    const std::string& shown = caption.empty() ? title_ : caption;
    return MessageBoxA(activeFormWindow(), text.c_str(), shown.c_str(), static_cast<UINT>(flags));
}

void Win32Host::freeClosedForms() {
    if (!WindowBase::InsideProcedure()) closed_.clear();
}

void Win32Host::dispatch(MSG& message) {
    if (message.hwnd) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        Form* owner = nullptr;
        for (const auto& [form, window] : forms_)
            if (window->hwnd() == root) owner = &window->model();
        if (owner && (message.message == WM_KEYUP || message.message == WM_SYSKEYUP) &&
            IsWindowEnabled(root)) {
            // The form sees a released key before its controls do. Its handler may close the
            // form, which then takes no further part in the message.
            const bool altDown = (message.lParam & (1 << 29)) != 0;
            owner->keyUp(static_cast<int>(message.wParam), KeyShift(altDown));
            if (!loaded(*owner)) owner = nullptr;
        }
        if (owner && IsDialogMessageA(root, &message)) {
            freeClosedForms();
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    freeClosedForms();
}

bool Win32Host::pumpOne() {
    MSG message{};
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    if (got < 0) return false;
    dispatch(message);
    return true;
}

int Win32Host::run() {
    while (!forms_.empty()) {
        MSG message{};
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);
        if (got < 0) return -1;
        dispatch(message);
    }
    return 0;
}

} // namespace tess::ui::win32
