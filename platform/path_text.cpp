// Splitting, comparing and shortening narrow paths one character at a time, so that the second
// byte of a double-byte character is never taken for a separator or folded as a letter, and no
// character of several bytes is cut in two.
#include "platform/path_text.h"

#include "core/ascii_case.h"

namespace tess::platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

} // namespace

CodePage::CodePage(std::initializer_list<Range> leadRanges) {
    for (const Range& range : leadRanges)
        for (unsigned byte = range.first; byte <= range.last; ++byte)
            leadBytes_.set(byte);
}

CodePage CodePage::Utf8() {
    // 0xC0, 0xC1 and 0xF5 to 0xFF begin no well-formed character; each stands alone.
    CodePage page({{0xC2, 0xF4}});
    page.utf8_ = true;
    return page;
}

size_t CodePage::Utf8Length(std::string_view text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (at + length > text.size())
        return 1;
    // The second byte's range excludes the overlong forms, the surrogates (0xED 0xA0 and up) and
    // what lies past U+10FFFF, which the system refuses to convert as it refuses a stray byte.
    const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 1;
    for (size_t i = at + 2; i < at + length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 1;
    return length;
}

size_t NextSeparator(std::string_view path, size_t from, const CodePage& page) {
    for (size_t at = from; at < path.size(); at += page.charLength(path, at))
        if (IsSeparator(path[at]))
            return at;
    return std::string_view::npos;
}

size_t LastSeparator(std::string_view path, const CodePage& page) {
    size_t last = std::string_view::npos;
    for (size_t at = NextSeparator(path, 0, page); at != std::string_view::npos;
         at = NextSeparator(path, at + 1, page))
        last = at;
    return last;
}

bool EndsWithSeparator(std::string_view path, const CodePage& page) {
    const size_t last = LastSeparator(path, page);
    return last != std::string_view::npos && last + 1 == path.size();
}

std::string LastName(std::string_view path, const CodePage& page) {
    const size_t last = LastSeparator(path, page);
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string ParentFolder(std::string_view path, const CodePage& page) {
    const size_t last = LastSeparator(path, page);
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

size_t CharacterCount(std::string_view text, const CodePage& page) {
    size_t count = 0;
    for (size_t at = 0; at < text.size(); at += page.charLength(text, at))
        ++count;
    return count;
}

std::string LastCharacters(std::string_view text, size_t count, const CodePage& page) {
    // A double-byte character is known only from the start, so the cut is found walking forward.
    const size_t total = CharacterCount(text, page);
    size_t at = 0;
    for (size_t skipped = 0; skipped + count < total; ++skipped)
        at += page.charLength(text, at);
    return std::string(text.substr(at));
}

std::string CanonicalPath(std::string_view path, const CodePage& page) {
    std::string out;
    // Whether `out` ends in a backslash of its own, which a second byte never is.
    bool endsInSeparator = false;
    for (size_t at = 0; at < path.size();) {
        const size_t length = page.charLength(path, at);
        if (length > 1) {
            out.append(path, at, length);
            endsInSeparator = false;
        } else if (IsSeparator(path[at])) {
            // A network path keeps its leading pair of backslashes.
            if (!endsInSeparator || out.size() == 1)
                out.push_back('\\');
            endsInSeparator = true;
        } else {
            out.push_back(AsciiLower(path[at]));
            endsInSeparator = false;
        }
        at += length;
    }
    while (out.size() > 1 && EndsWithSeparator(out, page))
        out.pop_back();
    return out;
}

bool SamePath(std::string_view a, std::string_view b, const CodePage& page) {
    return CanonicalPath(a, page) == CanonicalPath(b, page);
}

} // namespace tess::platform
