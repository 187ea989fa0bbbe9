// The text helpers, working on bytes: the setup program's texts are ANSI, and the lengths that
// decide when a path is shortened count its characters one byte each.
#include "setup_strings.h"

#include <algorithm>

#include "core/product.h"
#include "platform/path_text.h"

namespace tess::installer {

namespace {

// The last `count` characters of `text`, or all of it when shorter.
std::string Last(const std::string& text, size_t count) {
    return text.size() <= count ? text : text.substr(text.size() - count);
}

} // namespace

void ReplaceDoubleQuotes(std::string& text) {
    std::replace(text.begin(), text.end(), '"', '\'');
}

void AddDirSep(std::string& path) {
    const std::string trimmed = TrimSpaces(path);
    if (platform::EndsWithSeparator(trimmed))
        return;
    path = TrimTrailingSpaces(path) + "\\";
}

std::string ChooseFolderDisplayPath(const std::string& installDir) {
    const std::string folder = std::string("\\") + product::kAppFolderName;
    const std::string full = installDir + folder;
    return full.size() > 35 ? "..." + Last(installDir, 24) + folder : full;
}

std::string ReadyShortPath(const std::string& installDir) {
    return installDir.size() > 35 ? "..." + Last(installDir, 30) : installDir;
}

std::string ProgramDisplayPath(const std::string& path) {
    return path.size() > 40 ? "..." + Last(path, 40) : path;
}

} // namespace tess::installer
