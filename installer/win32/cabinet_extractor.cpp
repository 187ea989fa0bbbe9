// FDI walks every entry of the cabinet and asks, through the notification callback, where each
// one should go; all but the requested entry are skipped. FDI's file callbacks serve the cabinet
// from the held handle and write the one output file, both known to FDI by an FdiFile's address.
#include "cabinet_extractor.h"

#include <windows.h>

#include <fcntl.h>
#include <fdi.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/file_names.h"
#include "platform/path_text.h"
#include "platform/win32/system_library.h"

namespace tess::installer::win32 {

namespace {

using platform::win32::UniqueKernelHandle;

// A file FDI works on: a reading of the held cabinet with a position of its own, or the output.
struct FdiFile {
    bool cabinet = false;
    uint64_t position = 0;       // the cabinet's next byte to read
    UniqueKernelHandle output;   // the output file, until FDI closes it
};

// What one extraction knows across the callbacks.
struct Extraction {
    HANDLE cabinet = INVALID_HANDLE_VALUE;  // held by the opened cabinet, never closed here
    uint64_t cabinetLength = 0;
    std::string entry;
    std::string partPath;       // the temporary file beside the destination, as a replacing write names it
    std::vector<std::unique_ptr<FdiFile>> files;  // every file handed to FDI, kept until the end
    bool found = false;         // the entry was seen
    bool completed = false;     // its data was written and the file closed by FDI
    bool writeFailed = false;   // the temporary file could not be made or written
};

// FDI's file callbacks carry no user pointer; the one extraction in progress on this thread is
// found here.
thread_local Extraction* current = nullptr;

// An opened file owned, or nothing owned for a failed opening.
UniqueKernelHandle Opened(HANDLE handle) {
    return UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

INT_PTR ForFdi(FdiFile* file) { return reinterpret_cast<INT_PTR>(file); }
FdiFile& FromFdi(INT_PTR value) { return *reinterpret_cast<FdiFile*>(value); }

FNALLOC(Allocate) { return std::malloc(cb); }
FNFREE(Release) { std::free(pv); }

// FDI opens only the cabinet, for reading: it gets a reading of the held handle, whatever name it
// asks for, so that nothing is ever read from what the cabinet's name points to by then.
FNOPEN(OpenCabinet) {
    (void)pszFile;
    (void)pmode;
    if (!current || (oflag & (_O_WRONLY | _O_RDWR | _O_CREAT | _O_TRUNC | _O_APPEND)))
        return -1;
    current->files.push_back(std::make_unique<FdiFile>());
    current->files.back()->cabinet = true;
    return ForFdi(current->files.back().get());
}

FNREAD(ReadFileData) {
    FdiFile& file = FromFdi(hf);
    if (!file.cabinet || !current)
        return static_cast<UINT>(-1);
    // A read at an offset of its own, so that each reading FDI opened keeps its place.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(file.position);
    at.OffsetHigh = static_cast<DWORD>(file.position >> 32);
    DWORD read = 0;
    if (!ReadFile(current->cabinet, pv, cb, &read, &at) && GetLastError() != ERROR_HANDLE_EOF)
        return static_cast<UINT>(-1);
    file.position += read;
    return read;
}

FNWRITE(WriteFileData) {
    FdiFile& file = FromFdi(hf);
    DWORD written = 0;
    if (!file.output || !WriteFile(file.output.get(), pv, cb, &written, nullptr) || written != cb) {
        if (current)
            current->writeFailed = true;
        return static_cast<UINT>(-1);
    }
    return written;
}

FNCLOSE(CloseFile) {
    FdiFile& file = FromFdi(hf);
    if (file.cabinet)
        return 0;
    return file.output && CloseHandle(file.output.release()) ? 0 : -1;
}

FNSEEK(SeekFile) {
    FdiFile& file = FromFdi(hf);
    if (!file.cabinet || !current)
        return -1;
    // FDI's seek types 0, 1, 2 are from the start, from the position and from the end.
    const int64_t base = seektype == SEEK_SET   ? 0
                         : seektype == SEEK_CUR ? static_cast<int64_t>(file.position)
                                                : static_cast<int64_t>(current->cabinetLength);
    const int64_t position = base + dist;
    if (position < 0 || position > LONG_MAX)
        return -1;
    file.position = static_cast<uint64_t>(position);
    return static_cast<LONG>(position);
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
        UniqueKernelHandle output = Opened(CreateFileA(extraction.partPath.c_str(), GENERIC_WRITE, 0, nullptr,
                                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!output) {
            extraction.writeFailed = true;
            return -1;  // abort: the destination cannot be written
        }
        extraction.files.push_back(std::make_unique<FdiFile>());
        extraction.files.back()->output = std::move(output);
        return ForFdi(extraction.files.back().get());
    }
    case fdintCLOSE_FILE_INFO: {
        FdiFile& file = FromFdi(pfdin->hf);
        // On the disk before the move puts it under its name: a power cut after the move must
        // not leave a program of zeros there.
        if (!file.output || !FlushFileBuffers(file.output.get()) || !CloseHandle(file.output.release()))
            return FALSE;
        extraction.completed = !extraction.writeFailed;
        return TRUE;
    }
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

Result<std::unique_ptr<OpenedCabinet>> OpenCabinet(const std::string& cabinetPath) {
    // Others may go on reading it, but no one may write, rename or delete it while it is held.
    UniqueKernelHandle file = Opened(CreateFileA(cabinetPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return Failure(ErrorCode::FileNotFound, "no cabinet at " + cabinetPath);
        return Failure(ErrorCode::CannotOpen, "the cabinet cannot be opened for reading alone: " + cabinetPath);
    }
    LARGE_INTEGER length{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &length))
        return Failure(ErrorCode::CannotOpen, "not a cabinet file: " + cabinetPath);
    return std::unique_ptr<OpenedCabinet>(
        std::make_unique<Win32OpenedCabinet>(std::move(file), cabinetPath, static_cast<uint64_t>(length.QuadPart)));
}

Status Win32OpenedCabinet::Extract(const std::string& entry, const std::string& destinationPath) {
    if (!SafeEntryName(entry))
        return Failure(ErrorCode::InvalidArgument, "entry name leaves its folder: " + entry);
    // FDI takes a cabinet's folder (with its separator) and file name apart; it reads the held
    // file whatever they name.
    const size_t slash = platform::LastSeparator(path_);
    std::string folder = slash == std::string::npos ? std::string() : path_.substr(0, slash + 1);
    std::string name = platform::LastName(path_);

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
    extraction.cabinet = file_.get();
    extraction.cabinetLength = length_;
    extraction.entry = entry;
    extraction.partPath = platform::PartialFileName(destinationPath);
    current = &extraction;
    const BOOL copied = library.copy(context.get(), name.data(), folder.data(), 0, Notify,
                                     nullptr, &extraction);
    current = nullptr;
    // An output FDI left open is closed before the temporary file is moved or deleted.
    for (const std::unique_ptr<FdiFile>& file : extraction.files)
        file->output.reset();

    if (extraction.found && extraction.completed && copied &&
        MoveFileExA(extraction.partPath.c_str(), destinationPath.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Status::Ok();
    if (extraction.found)
        DeleteFileA(extraction.partPath.c_str());
    if (extraction.writeFailed)
        return Failure(ErrorCode::WriteFailed, "could not write " + destinationPath);
    if (!copied)
        return Failure(ErrorCode::CannotOpen, "the cabinet is damaged: " + path_);
    if (!extraction.found)
        return Failure(ErrorCode::FileNotFound, "the cabinet holds no entry " + entry);
    return Failure(ErrorCode::WriteFailed, "could not move into place: " + destinationPath);
}

} // namespace tess::installer::win32
