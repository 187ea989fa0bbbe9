// Letter case folded as the system compares file, key and value names here: A to Z only, so that
// the result never depends on the locale.
#pragma once

#include <string>

namespace tess {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string AsciiLower(std::string text) {
    for (char& c : text) c = AsciiLower(c);
    return text;
}

} // namespace tess
