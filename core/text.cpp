// Byte-wise, with no locale: the texts are ANSI, and only the space character itself is trimmed,
// as the programs have always trimmed their texts.
#include "core/text.h"

namespace tess {

std::string TrimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string TrimTrailingSpaces(const std::string& text) {
    const size_t last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string CutAtNull(const std::string& text) { return text.substr(0, text.find('\0')); }

} // namespace tess
