// The collection's naming: fixed suffixes appended to the application folder, numbers padded
// with zeros to four digits, and a linear search from the first number every time.
#include "collection_naming.h"

#include <cstdio>
#include <string_view>

#include "core/ascii_case.h"
#include "core/product.h"

namespace tess {

namespace {

constexpr std::string_view kFilePrefix = "Skin";
constexpr std::string_view kFileExtension = ".bmp";
constexpr size_t kDigits = 4;

} // namespace

std::string CollectionFolder(const std::string& dataFolder) {
    return dataFolder + "\\" + product::kCollectionFolder;
}

std::string CollectionFileName(const std::string& dataFolder, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return CollectionFolder(dataFolder) + "\\" + std::string(kFilePrefix) + digits + std::string(kFileExtension);
}

bool IsCollectionFileName(const std::string& name) {
    const std::string lower = AsciiLower(name);
    const std::string prefix = AsciiLower(std::string(kFilePrefix));
    const std::string extension = AsciiLower(std::string(kFileExtension));
    if (lower.size() != prefix.size() + kDigits + extension.size() || lower.compare(0, prefix.size(), prefix) != 0 ||
        lower.compare(prefix.size() + kDigits, extension.size(), extension) != 0)
        return false;
    int number = 0;
    for (size_t i = kFilePrefix.size(); i < kFilePrefix.size() + kDigits; ++i) {
        if (lower[i] < '0' || lower[i] > '9')
            return false;
        number = number * 10 + (lower[i] - '0');
    }
    return number >= kFirstCollectionNumber && number <= kLastCollectionNumber;
}

std::string FirstFreeCollectionFile(const std::string& dataFolder,
                                    const std::function<bool(const std::string&)>& exists) {
    for (int n = kFirstCollectionNumber; n <= kLastCollectionNumber; ++n) {
        std::string name = CollectionFileName(dataFolder, n);
        if (!exists(name))
            return name;
    }
    return {};
}

} // namespace tess
