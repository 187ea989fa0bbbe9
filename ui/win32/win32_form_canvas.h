// A form's retained artwork: its back colour, its picture and its drawing composed into a
// memory bitmap at the screen's measure, copied to the screen and to what lies above it.
#pragma once

#include <windows.h>

#include "platform/win32/handles.h"
#include "ui/controls.h"
#include "ui/win32/win32_metrics.h"

namespace tess::ui::win32 {

class FormCanvas {
public:
    FormCanvas() = default;
    FormCanvas(const FormCanvas&) = delete;
    FormCanvas& operator=(const FormCanvas&) = delete;

    // Whether a form shows anything of its own: a back colour, a picture or a drawing.
    static bool Shows(const Form& form);

    // The next copy composes the artwork again.
    void invalidate() { stale_ = true; }
    // Copies the part of the artwork at `source` (client pixels) to `dest` in `dc`, composing it
    // first when it changed or the client size did.
    void copyTo(HDC dc, const RECT& dest, POINT source, const Form& form,
                const ScreenMeasure& screen, SIZE client);

private:
    void compose(const Form& form, const ScreenMeasure& screen, SIZE client);
    void drawStep(const DrawOp& op, const ScreenMeasure& screen);

    platform::win32::UniqueBitmap bitmap_;
    platform::win32::UniqueMemoryDc dc_;
    HGDIOBJ original_ = nullptr;
    void* bits_ = nullptr;
    SIZE size_{0, 0};
    bool stale_ = true;
};

} // namespace tess::ui::win32
