// Registry access through an owned key handle, and whole-file reads, all through the wide calls
// with the driver's UTF-8 names.
#include "registry_files.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "code_page.h"
#include "platform/win32/handles.h"
#include "wait.h"

namespace tess::e2e {

namespace {

struct CloseKeyRelease {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = platform::win32::UniqueHandle<HKEY, CloseKeyRelease>;

Error RegistryError(LONG code, const std::string& what) {
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return Error{ErrorCode::FileNotFound, what + " does not exist"};
    return Error{ErrorCode::CannotOpen, what + ": registry error " + std::to_string(code)};
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

Result<std::string> ReadRegistryString(HKEY root, const std::string& key, const std::string& name) {
    HKEY opened = nullptr;
    if (LONG code = RegOpenKeyExW(root, Wide(key).c_str(), 0, KEY_QUERY_VALUE, &opened); code != ERROR_SUCCESS)
        return RegistryError(code, "key " + key);
    UniqueKey owned(opened);
    const std::wstring wideName = Wide(name);
    DWORD type = 0, size = 0;
    if (LONG code = RegQueryValueExW(opened, wideName.c_str(), nullptr, &type, nullptr, &size); code != ERROR_SUCCESS)
        return RegistryError(code, "value " + name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return Error{ErrorCode::InvalidArgument, "value " + name + " is not a string"};
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (LONG code = RegQueryValueExW(opened, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                                     &size);
        code != ERROR_SUCCESS)
        return RegistryError(code, "value " + name);
    value.resize(size / sizeof(wchar_t));
    // The stored size counts the terminating NUL, when the writer stored one.
    while (!value.empty() && value.back() == L'\0')
        value.pop_back();
    return Utf8(value);
}

Result<uint32_t> ReadRegistryDword(HKEY root, const std::string& key, const std::string& name) {
    HKEY opened = nullptr;
    if (LONG code = RegOpenKeyExW(root, Wide(key).c_str(), 0, KEY_QUERY_VALUE, &opened); code != ERROR_SUCCESS)
        return RegistryError(code, "key " + key);
    UniqueKey owned(opened);
    DWORD type = 0, value = 0, size = sizeof value;
    if (LONG code = RegQueryValueExW(opened, Wide(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        code != ERROR_SUCCESS)
        return code == ERROR_MORE_DATA ? Error{ErrorCode::InvalidArgument, "value " + name + " is not a number"}
                                       : RegistryError(code, "value " + name);
    if (type != REG_DWORD || size != sizeof value)
        return Error{ErrorCode::InvalidArgument, "value " + name + " is not a number"};
    return static_cast<uint32_t>(value);
}

Status WriteRegistryString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    HKEY created = nullptr;
    if (LONG code = RegCreateKeyExW(root, Wide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr);
        code != ERROR_SUCCESS)
        return RegistryError(code, "key " + key);
    UniqueKey owned(created);
    const std::wstring wide = Wide(value);
    if (LONG code = RegSetValueExW(created, Wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
        code != ERROR_SUCCESS)
        return RegistryError(code, "value " + name);
    return Status::Ok();
}

Status DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name) {
    HKEY opened = nullptr;
    LONG code = RegOpenKeyExW(root, Wide(key).c_str(), 0, KEY_SET_VALUE, &opened);
    if (code == ERROR_FILE_NOT_FOUND)
        return Status::Ok();
    if (code != ERROR_SUCCESS)
        return RegistryError(code, "key " + key);
    UniqueKey owned(opened);
    code = RegDeleteValueW(opened, Wide(name).c_str());
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND)
        return RegistryError(code, "value " + name);
    return Status::Ok();
}

Result<std::string> WaitForLines(const std::string& path, size_t lines, const std::string& what) {
    std::string text;
    const Status written = WaitUntil(
        [&] {
            const auto bytes = ReadFileBytes(path);
            if (!bytes.ok()) return false;
            text.assign(bytes.value().begin(), bytes.value().end());
            return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) >= lines;
        },
        what);
    if (!written)
        return written.error();
    return text;
}

Result<std::vector<uint8_t>> ReadFileBytes(const std::string& path) {
    if (!FileExists(path))
        return Error{ErrorCode::FileNotFound, path + " does not exist"};
    std::unique_ptr<std::FILE, CloseFile> file(_wfopen(Wide(path).c_str(), L"rb"));
    if (!file)
        return Error{ErrorCode::CannotOpen, "cannot open " + path};
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    if (std::ferror(file.get()))
        return Error{ErrorCode::CannotOpen, "cannot read " + path};
    return bytes;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WindowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

} // namespace tess::e2e
