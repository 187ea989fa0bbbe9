// Scripted common dialogs: queued answers written into the records the way the system writes
// them, a log of the records handed over, and a record of dialogs nobody expected.
#include "ui/headless/scripted_dialogs.h"

#include <algorithm>

#include "platform/path_text.h"

namespace tess::ui {

namespace {

const char* DialogName(int kind) {
    static const char* const names[] = {"open", "save", "colour", "font"};
    return names[kind];
}

// Writes a NUL-terminated text over the start of a buffer, as the system does.
void WriteText(std::string& buffer, const std::string& text) {
    if (buffer.size() < text.size() + 1) buffer.resize(text.size() + 1);
    std::copy(text.begin(), text.end(), buffer.begin());
    buffer[text.size()] = '\0';
}

} // namespace

void ScriptedDialogs::queue(Kind kind, bool confirm, std::string path) {
    Answer answer;
    answer.kind = kind;
    answer.confirm = confirm;
    answer.path = std::move(path);
    answers_.push_back(std::move(answer));
}

void ScriptedDialogs::answerColor(ColorRef colour, std::optional<std::array<ColorRef, 16>> custom) {
    queue(Kind::Color, true);
    answers_.back().colour = colour;
    answers_.back().custom = custom;
}

void ScriptedDialogs::cancelColor(std::optional<std::array<ColorRef, 16>> custom) {
    queue(Kind::Color, false);
    answers_.back().custom = custom;
}

void ScriptedDialogs::answerFont(FontChoice choice) {
    queue(Kind::Font, true);
    answers_.back().font = std::move(choice);
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(Kind kind) {
    const std::string dialog = DialogName(static_cast<int>(kind));
    if (answers_.empty()) {
        unexpected_.push_back("the " + dialog + " dialog was shown with no answer queued");
        return std::nullopt;
    }
    if (answers_.front().kind != kind) {
        unexpected_.push_back("the " + dialog + " dialog was shown while an answer for the " +
                              DialogName(static_cast<int>(answers_.front().kind)) +
                              " dialog was next");
        return std::nullopt;
    }
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    return answer;
}

int ScriptedDialogs::GetOpenFileNameA(OpenFileNameRecord& record) {
    openRecords_.push_back(record);
    return fileDialog(Kind::Open, record);
}

int ScriptedDialogs::GetSaveFileNameA(OpenFileNameRecord& record) {
    saveRecords_.push_back(record);
    return fileDialog(Kind::Save, record);
}

int ScriptedDialogs::fileDialog(Kind kind, OpenFileNameRecord& record) {
    const std::optional<Answer> answer = take(kind);
    if (!answer || !answer->confirm) return 0;
    const std::string& path = answer->path;
    // The system refuses a path its buffer cannot hold, NUL included.
    if (path.size() + 1 > record.nMaxFile) return 0;
    WriteText(record.lpstrFile, path);

    const size_t slash = platform::LastSeparator(path);
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string title = path.substr(nameStart);
    if (title.size() + 1 <= record.nMaxFileTitle) WriteText(record.lpstrFileTitle, title);
    const size_t dot = title.find_last_of('.');
    record.nFileOffset = static_cast<uint16_t>(nameStart);
    record.nFileExtension =
        static_cast<uint16_t>(dot == std::string::npos ? path.size() : nameStart + dot + 1);
    return 1;
}

int ScriptedDialogs::ChooseColorA(ChooseColorRecord& record) {
    colorRecords_.push_back(record);
    const std::optional<Answer> answer = take(Kind::Color);
    if (!answer) return 0;
    if (answer->custom) record.lpCustColors = *answer->custom;
    if (!answer->confirm) return 0;
    record.rgbResult = answer->colour;
    return 1;
}

int ScriptedDialogs::ChooseFontA(ChooseFontRecord& record, LogFontRecord& font) {
    fontRecords_.emplace_back(record, font);
    const std::optional<Answer> answer = take(Kind::Font);
    if (!answer || !answer->confirm) return 0;
    const FontChoice& choice = answer->font;
    font.lfWeight = choice.weight;
    font.lfItalic = choice.italic ? 1 : 0;
    font.lfUnderline = choice.underline ? 1 : 0;
    font.lfStrikeOut = choice.strikeOut ? 1 : 0;
    font.lfFaceName.fill('\0');
    choice.faceName.copy(font.lfFaceName.data(),
                         std::min(choice.faceName.size(), font.lfFaceName.size() - 1));
    record.iPointSize = choice.pointSizeTenths;
    record.rgbColors = choice.color;
    record.nFontType = choice.fontType;
    return 1;
}

ColorRef ScriptedDialogs::sysColor(int index) const {
    if (index < 0 || index >= static_cast<int>(sysColors.size())) return 0;
    return sysColors[index];
}

DeviceContext ScriptedDialogs::printerDC() {
    ++printerRequests;
    return printer;
}

WindowHandle ScriptedDialogs::parentOf(WindowHandle window) const {
    const auto found = windows.find(window);
    return found == windows.end() ? 0 : found->second.parent;
}

std::optional<PixelRect> ScriptedDialogs::windowRect(WindowHandle window) const {
    const auto found = windows.find(window);
    if (found == windows.end()) return std::nullopt;
    return found->second.rect;
}

void ScriptedDialogs::moveWindow(WindowHandle window, int32_t left, int32_t top,
                                        int32_t width, int32_t height) {
    moves.push_back({window, left, top, width, height});
}

void ScriptedDialogs::setWindowLong(WindowHandle window, int32_t index, int32_t value) {
    windowLongs.push_back({window, index, value});
}

int32_t ScriptedDialogs::notifyCode(intptr_t lParam) const {
    const auto found = notifications.find(lParam);
    return found == notifications.end() ? 0 : found->second;
}

} // namespace tess::ui
