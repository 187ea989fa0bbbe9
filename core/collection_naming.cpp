// The collection's naming: fixed suffixes appended to the application folder, numbers padded
// with zeros to four digits, and a linear search from the first number every time.
#include "collection_naming.h"

#include <cstdio>

#include "core/product.h"

namespace tess {

std::string CollectionFolder(const std::string& dataFolder) {
    return dataFolder + "\\" + product::kCollectionFolder;
}

std::string CollectionFileName(const std::string& dataFolder, int number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", number);
    return CollectionFolder(dataFolder) + "\\Skin" + digits + ".bmp";
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
