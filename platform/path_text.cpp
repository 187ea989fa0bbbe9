// Splitting and comparing narrow paths one character at a time, so that the second byte of a
// double-byte character is never taken for a separator or folded as a letter.
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

std::string CanonicalPath(std::string_view path, const CodePage& page) {
    std::string out;
    // Whether `out` ends in a backslash of its own, which a second byte never is.
    bool endsInSeparator = false;
    for (size_t at = 0; at < path.size();) {
        const size_t length = page.charLength(path, at);
        if (length == 2) {
            out.append(path, at, 2);
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
