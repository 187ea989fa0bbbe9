// FDI walks every entry of the cabinet and asks, through the notification callback, where each
// one should go; all but the requested entry are skipped. The file callbacks work on Win32 file
// handles, passed to FDI as its integer handles.
#include "cabinet_extractor.h"

#include <windows.h>

#include <fdi.h>

#include <cstdlib>

#include "platform/path_text.h"
#include "platform/win32/system_library.h"

namespace tess::installer::win32 {

namespace {

// What one extraction knows across the callbacks.
struct Extraction {
    std::string entry;
    std::string partPath;       // the temporary file beside the destination
    HANDLE output = INVALID_HANDLE_VALUE;
    bool found = false;         // the entry was seen
    bool completed = false;     // its data was written and the file closed by FDI
    bool writeFailed = false;   // the temporary file could not be made or written
};

// FDI's file callbacks carry no user pointer; the one extraction in progress on this thread is
// found here, so that closing its output through FDI is noticed.
thread_local Extraction* current = nullptr;

INT_PTR HandleValue(HANDLE handle) { return reinterpret_cast<INT_PTR>(handle); }
HANDLE FromValue(INT_PTR value) { return reinterpret_cast<HANDLE>(value); }

FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Release) { std::free(pv); }

// FDI opens only the cabinet itself, for reading.
FNOPEN(OpenCabinet) {
    (void)oflag;
    (void)pmode;
    const HANDLE file = CreateFileA(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? -1 : HandleValue(file);
}

FNREAD(ReadFileData) {
    DWORD read = 0;
    return ReadFile(FromValue(hf), pv, cb, &read, nullptr) ? read : static_cast<UINT>(-1);
}

FNWRITE(WriteFileData) {
    DWORD written = 0;
    if (!WriteFile(FromValue(hf), pv, cb, &written, nullptr) || written != cb) {
        if (current)
            current->writeFailed = true;
        return static_cast<UINT>(-1);
    }
    return written;
}

FNCLOSE(CloseFile) {
    if (current && FromValue(hf) == current->output)
        current->output = INVALID_HANDLE_VALUE;
    return CloseHandle(FromValue(hf)) ? 0 : -1;
}

FNSEEK(SeekFile) {
    // FDI's seek types 0, 1, 2 are FILE_BEGIN, FILE_CURRENT and FILE_END.
    const DWORD position = SetFilePointer(FromValue(hf), dist, nullptr, seektype);
    return position == INVALID_SET_FILE_POINTER ? -1 : static_cast<LONG>(position);
}

// Names in a cabinet compare as the file system compares file names, whatever the user's locale.
bool SameName(const char* a, const std::string& b) { return platform::SamePath(a, b); }

FNFDINOTIFY(Notify) {
    Extraction& extraction = *static_cast<Extraction*>(pfdin->pv);
    switch (fdint) {
    case fdintCOPY_FILE: {
        if (extraction.found || !SameName(pfdin->psz1, extraction.entry))
            return 0;  // skip
        extraction.found = true;
        const HANDLE file = CreateFileA(extraction.partPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            extraction.writeFailed = true;
            return -1;  // abort: the destination cannot be written
        }
        extraction.output = file;
        return HandleValue(file);
    }
    case fdintCLOSE_FILE_INFO:
        extraction.output = INVALID_HANDLE_VALUE;
        if (!CloseHandle(FromValue(pfdin->hf)))
            return FALSE;
        extraction.completed = !extraction.writeFailed;
        return TRUE;
    case fdintNEXT_CABINET:
        return -1;  // entries spanning several cabinets are not supported
    default:
        return 0;
    }
}

// A requested entry name must stay inside its folder: no root, drive or ".." component. Split
// byte by byte: a second byte taken for a separator can only refuse a name, never pass one.
bool SafeEntryName(const std::string& entry) {
    if (entry.empty() || entry.front() == '\\' || entry.front() == '/' ||
        entry.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= entry.size()) {
        size_t end = entry.find_first_of("\\/", start);
        if (end == std::string::npos)
            end = entry.size();
        if (entry.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

// The functions of cabinet.dll, looked up once per extraction; the library stays loaded with them.
struct FdiLibrary {
    platform::win32::SystemLibrary library;
    decltype(&FDICreate) create;
    decltype(&FDICopy) copy;
    decltype(&FDIDestroy) destroy;
};

Result<FdiLibrary> LoadFdi() {
    auto library = platform::win32::SystemLibrary::Load("cabinet.dll");
    if (!library)
        return library.error();
    auto create = library.value().function<decltype(&FDICreate)>("FDICreate");
    auto copy = library.value().function<decltype(&FDICopy)>("FDICopy");
    auto destroy = library.value().function<decltype(&FDIDestroy)>("FDIDestroy");
    for (const Status& found : {create.status(), copy.status(), destroy.status()})
        if (!found)
            return found.error();
    return FdiLibrary{std::move(library).value(), create.value(), copy.value(), destroy.value()};
}

// Owns an FDI context.
class FdiContext {
public:
    FdiContext(const FdiLibrary& library, HFDI context) : library_(library), context_(context) {}
    ~FdiContext() {
        if (context_)
            library_.destroy(context_);
    }
    FdiContext(const FdiContext&) = delete;
    FdiContext& operator=(const FdiContext&) = delete;
    HFDI get() const { return context_; }

private:
    const FdiLibrary& library_;
    HFDI context_;
};

Error Failure(ErrorCode code, const std::string& message) { return Error{code, message}; }

} // namespace

Status ExtractCabinetEntry(const std::string& cabinetPath, const std::string& entry,
                           const std::string& destinationPath) {
    if (!SafeEntryName(entry))
        return Failure(ErrorCode::InvalidArgument, "entry name leaves its folder: " + entry);
    const size_t slash = platform::LastSeparator(cabinetPath);
    // FDI takes the cabinet's folder (with its separator) and its file name apart.
    std::string folder = slash == std::string::npos ? std::string() : cabinetPath.substr(0, slash + 1);
    std::string name = platform::LastName(cabinetPath);

    Result<FdiLibrary> loaded = LoadFdi();
    if (!loaded)
        return loaded.error();
    const FdiLibrary& library = loaded.value();
    ERF error{};
    FdiContext context(library, library.create(Allocate, Release, OpenCabinet, ReadFileData,
                                               WriteFileData, CloseFile, SeekFile, cpuUNKNOWN,
                                               &error));
    if (!context.get())
        return Failure(ErrorCode::OutOfMemory, "the cabinet library could not start");

    Extraction extraction;
    extraction.entry = entry;
    extraction.partPath = destinationPath + ".part";
    current = &extraction;
    const BOOL copied = library.copy(context.get(), name.data(), folder.data(), 0, Notify,
                                     nullptr, &extraction);
    current = nullptr;
    if (extraction.output != INVALID_HANDLE_VALUE)
        CloseHandle(extraction.output);

    if (extraction.found && extraction.completed && copied &&
        MoveFileExA(extraction.partPath.c_str(), destinationPath.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return Status::Ok();
    if (extraction.found)
        DeleteFileA(extraction.partPath.c_str());
    if (extraction.writeFailed)
        return Failure(ErrorCode::WriteFailed, "could not write " + destinationPath);
    if (!copied && error.erfOper == FDIERROR_CABINET_NOT_FOUND)
        return Failure(ErrorCode::FileNotFound, "no cabinet at " + cabinetPath);
    if (!copied)
        return Failure(ErrorCode::CannotOpen, "the cabinet is damaged: " + cabinetPath);
    if (!extraction.found)
        return Failure(ErrorCode::FileNotFound, "the cabinet holds no entry " + entry);
    return Failure(ErrorCode::WriteFailed, "could not move into place: " + destinationPath);
}

} // namespace tess::installer::win32
