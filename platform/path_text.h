// Paths as text in the program's ANSI code page: where a path splits into its folder and its last
// name, whether it ends in a separator, its canonical form, when two paths name the same place
// and its characters counted and cut whole.
#pragma once

#include <bitset>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tess::platform {

// Where the characters of a narrow code page begin and end. The system reads the byte after a
// lead byte of a double-byte code page as the second half of that character whatever its value,
// so there a backslash or an ASCII letter may be no separator and no letter of its own: in code
// page 932 the bytes of "C:\ソ\x" are 'C' ':' '\' 0x83 0x5C '\' 'x'. In UTF-8, the code page of
// a program whose manifest asks for it, a character takes one to four bytes, and every byte after
// the first lies at 0x80 or above, so a separator or an ASCII letter is always a character of its
// own; what is not a whole, well-formed character there counts byte by byte.
class CodePage {
public:
    struct Range {
        unsigned char first;
        unsigned char last;  // included
    };

    // Every character one byte.
    CodePage() = default;
    explicit CodePage(const std::bitset<256>& leadBytes) : leadBytes_(leadBytes) {}
    CodePage(std::initializer_list<Range> leadRanges);
    // UTF-8 (code page 65001).
    static CodePage Utf8();

    // The code page of the A functions. On Windows the program's ANSI code page, read once: UTF-8
    // where the manifest's request is honoured, otherwise the system's; on the host one of single
    // bytes, which splits and compares UTF-8 rightly too, since no byte of a UTF-8 character of
    // several bytes lies below 0x80.
    static const CodePage& Active();

    bool isUtf8() const { return utf8_; }
    // Whether the byte may begin a character of several bytes.
    bool isLeadByte(char byte) const { return leadBytes_.test(static_cast<unsigned char>(byte)); }
    // The bytes of the character that begins at `at`, never reaching past the text's end: in a
    // double-byte code page two for a lead byte with a byte after it, in UTF-8 the length its
    // first byte announces when the whole sequence is there and well formed, otherwise one.
    size_t charLength(std::string_view text, size_t at) const {
        if (!isLeadByte(text[at]))
            return 1;
        if (utf8_)
            return Utf8Length(text, at);
        return at + 1 < text.size() ? 2 : 1;
    }

private:
    static size_t Utf8Length(std::string_view text, size_t at);

    std::bitset<256> leadBytes_;
    bool utf8_ = false;
};

// The first separator (backslash or slash) at or after `from`, which must begin a character;
// npos when there is none.
size_t NextSeparator(std::string_view path, size_t from, const CodePage& page = CodePage::Active());
// The last separator of the path; npos when there is none.
size_t LastSeparator(std::string_view path, const CodePage& page = CodePage::Active());
// Whether the last character of the path is a separator, not the second byte of a character.
bool EndsWithSeparator(std::string_view path, const CodePage& page = CodePage::Active());

// What follows the last separator: the whole path when it has none.
std::string LastName(std::string_view path, const CodePage& page = CodePage::Active());
// What precedes the last separator: empty when the path has none.
std::string ParentFolder(std::string_view path, const CodePage& page = CodePage::Active());

// How many characters the text holds.
size_t CharacterCount(std::string_view text, const CodePage& page = CodePage::Active());
// The last `count` characters of the text, all of it when it holds no more: never a character cut
// in two, so a shortened path shown to the user reads as the system reads the whole one.
std::string LastCharacters(std::string_view text, size_t count, const CodePage& page = CodePage::Active());

// The form in which paths that name the same place are equal, as the system reads them: slashes
// as backslashes, a run of backslashes as one but for the pair that opens a network path, no
// trailing backslash, and only ASCII letters of a character of their own in lower case.
std::string CanonicalPath(std::string_view path, const CodePage& page = CodePage::Active());
// Whether two paths, or two names, name the same place: their canonical forms are equal.
bool SamePath(std::string_view a, std::string_view b, const CodePage& page = CodePage::Active());

} // namespace tess::platform
