// The parts of the file system that are the same on every system: name patterns and the order of
// listed names.
#include "platform/files.h"
#include "platform/file_names.h"

#include <algorithm>

#include "core/ascii_case.h"

namespace tess::platform {

namespace {

// The characters of a text, each of one byte or several, ASCII letters in lower case.
std::vector<std::string> Characters(const std::string& text, const CodePage& page) {
    std::vector<std::string> characters;
    for (size_t at = 0; at < text.size();) {
        const size_t length = page.charLength(text, at);
        characters.push_back(length > 1 ? text.substr(at, length) : std::string(1, AsciiLower(text[at])));
        at += length;
    }
    return characters;
}

// Greedy matching with one backtrack point: the last '*' seen.
bool MatchesExactly(const std::string& nameText, const std::string& patternText, const CodePage& page) {
    const std::vector<std::string> name = Characters(nameText, page);
    const std::vector<std::string> pattern = Characters(patternText, page);
    size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == "?" || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == "*") {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == "*") ++p;
    return p == pattern.size();
}

} // namespace

bool HasContent(Files& files, const std::string& path) {
    const Result<uint64_t> length = files.FileLength(path);
    return length.ok() && length.value() > 0;
}

bool MatchesPattern(const std::string& name, const std::string& pattern, const CodePage& page) {
    if (MatchesExactly(name, pattern, page))
        return true;
    // The system lets a final ".*" match a name without an extension too, so "*.*" matches
    // every name, as FindFirstFile does.
    const bool anyExtension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
    return anyExtension && name.find('.') == std::string::npos &&
           MatchesExactly(name, pattern.substr(0, pattern.size() - 2), page);
}

void SortNamesWithoutCase(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
        });
    });
}

} // namespace tess::platform
