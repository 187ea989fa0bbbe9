// Reading a program's resources back as the tests check them: a program or library of the build
// loaded as data, raw bytes of one resource, the manifests and the strings of the version
// information.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/handles.h"

namespace tess::testing {

// A file of the build (a program or a library) loaded as data only, with its path.
struct DataModule {
    explicit DataModule(std::string filePath)
        : path(std::move(filePath)),
          module(LoadLibraryExA(path.c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    HMODULE get() const { return module.get(); }
    std::string path;
    platform::win32::UniqueModule module;
};

inline std::vector<uint8_t> ResourceBytes(HMODULE module, const char* name, const char* type) {
    HRSRC found = FindResourceA(module, name, type);
    if (!found) return {};
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    return std::vector<uint8_t>(data, data + SizeofResource(module, found));
}

inline std::string ManifestText(HMODULE module) {
    const auto bytes = ResourceBytes(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    return std::string(bytes.begin(), bytes.end());
}

namespace detail {

inline BOOL CALLBACK NoteLanguage(HMODULE, LPCSTR, LPCSTR name, WORD language, LONG_PTR found) {
    std::string entry = IS_INTRESOURCE(name) ? std::string(1, '#').append(std::to_string(reinterpret_cast<UINT_PTR>(name)))
                                             : std::string(name);
    entry.append(" language ").append(std::to_string(language));
    reinterpret_cast<std::vector<std::string>*>(found)->push_back(std::move(entry));
    return TRUE;
}

inline BOOL CALLBACK NoteLanguagesOf(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
    EnumResourceLanguagesA(module, type, name, NoteLanguage, found);
    return TRUE;
}

} // namespace detail

// Every manifest resource of a module, as "#<id> language <id>" (or its name instead of "#<id>").
inline std::vector<std::string> ManifestEntries(HMODULE module) {
    std::vector<std::string> entries;
    EnumResourceNamesA(module, MAKEINTRESOURCEA(24), detail::NoteLanguagesOf, reinterpret_cast<LONG_PTR>(&entries));
    return entries;
}

// The version information of a program or library file; empty when it has none.
inline std::vector<char> VersionBlock(const std::string& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, block.data())) return {};
    return block;
}

// One string of the version information's US English block.
inline std::string VersionString(const std::vector<char>& block, const char* name) {
    if (block.empty()) return "(no version)";
    char* text = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text)
        return "(missing)";
    return std::string(text);
}

} // namespace tess::testing
