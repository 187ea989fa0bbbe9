// Reading a program's resources back as the tests check them: raw bytes of one resource, the
// manifest's text and the strings of the version information.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tess::testing {

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
