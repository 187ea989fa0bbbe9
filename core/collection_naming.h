// Names in the skin collection: the folder below the skin maker's data folder and the numbered
// files Skin0001.bmp to Skin9999.bmp, with the search for the lowest number not in use.
#pragma once

#include <functional>
#include <string>

namespace tess {

inline constexpr int kFirstCollectionNumber = 1;
inline constexpr int kLastCollectionNumber = 9999;

// dataFolder + "\Collection".
std::string CollectionFolder(const std::string& dataFolder);

// dataFolder + "\Collection\Skin" + the number with at least four digits + ".bmp".
std::string CollectionFileName(const std::string& dataFolder, int number);

// Whether a file's name (without its folder) is one of the collection's: "Skin", four digits
// giving a number from 1 to 9999, ".bmp", without regard to case.
bool IsCollectionFileName(const std::string& name);

// The name of the lowest number from 1 to 9999 whose file `exists` denies, or "" when every
// number is taken. The predicate decides what counts as taken (the window passes HasContent, so
// that an empty file is reused).
std::string FirstFreeCollectionFile(const std::string& dataFolder,
                                    const std::function<bool(const std::string&)>& exists);

} // namespace tess
