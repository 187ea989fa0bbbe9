// The text helpers over the setup program's ANSI texts: the lengths that decide when a path is
// shortened count its characters in the code page, and a shortened path keeps whole characters.
#include "setup_strings.h"

#include <algorithm>

#include "core/product.h"
#include "platform/path_text.h"

namespace tess::installer {

void ReplaceDoubleQuotes(std::string& text) {
    std::replace(text.begin(), text.end(), '"', '\'');
}

void AddDirSep(std::string& path) {
    const std::string trimmed = TrimSpaces(path);
    if (platform::EndsWithSeparator(trimmed))
        return;
    path = TrimTrailingSpaces(path) + "\\";
}

std::string ChooseFolderDisplayPath(const std::string& installDir, const platform::CodePage& page) {
    const std::string folder = std::string("\\") + product::kAppFolderName;
    const std::string full = installDir + folder;
    return platform::CharacterCount(full, page) > 35 ? "..." + platform::LastCharacters(installDir, 24, page) + folder
                                                     : full;
}

std::string ReadyShortPath(const std::string& installDir, const platform::CodePage& page) {
    return platform::CharacterCount(installDir, page) > 35 ? "..." + platform::LastCharacters(installDir, 30, page)
                                                           : installDir;
}

std::string ProgramDisplayPath(const std::string& path, const platform::CodePage& page) {
    return platform::CharacterCount(path, page) > 40 ? "..." + platform::LastCharacters(path, 40, page) : path;
}

} // namespace tess::installer
