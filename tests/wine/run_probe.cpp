// A small Windows console program that check-wine-run.sh drives through wine-run.sh: it echoes
// its arguments, writes to both streams, reads and writes files, sleeps and starts a child.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// probe echo CODE ARG...: one "[ARG]" line per argument, a count on stderr, exit with CODE.
int Echo(int argc, char** argv) {
    for (int i = 3; i < argc; ++i) {
        std::printf("[%s]\n", argv[i]);
    }
    std::fprintf(stderr, "probe: %d arguments\n", argc - 3);
    return std::atoi(argv[2]);
}

// probe write PATH TEXT
int Write(const char* path, const char* text) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "probe: cannot create %s\n", path);
        return 1;
    }
    const size_t length = std::strlen(text);
    const bool written = std::fwrite(text, 1, length, file) == length;
    return std::fclose(file) == 0 && written ? 0 : 1;
}

// probe read PATH [TEXT]: 0 if PATH can be read (and holds exactly TEXT), 3 if it cannot be
// opened, 4 if it holds something else.
int Read(const char* path, const char* expected) {
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return 3;
    }
    std::string content;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        content.append(buffer, count);
    }
    std::fclose(file);
    return expected == nullptr || content == expected ? 0 : 4;
}

// probe spawn SECONDS: starts "probe sleep SECONDS" and returns without waiting for it.
int Spawn(const char* seconds) {
    char self[MAX_PATH];
    if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0) {
        return 1;
    }
    std::string command = std::string("\"") + self + "\" sleep " + seconds;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "probe: CreateProcess failed (%lu)\n", GetLastError());
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "echo" && argc >= 3) {
        return Echo(argc, argv);
    }
    if (mode == "write" && argc == 4) {
        return Write(argv[2], argv[3]);
    }
    if (mode == "read" && (argc == 3 || argc == 4)) {
        return Read(argv[2], argc == 4 ? argv[3] : nullptr);
    }
    if (mode == "sleep" && argc == 3) {
        Sleep(static_cast<DWORD>(std::atoi(argv[2])) * 1000);
        return 0;
    }
    if (mode == "spawn" && argc == 3) {
        return Spawn(argv[2]);
    }
    std::fprintf(stderr, "usage: probe echo CODE ARG... | write PATH TEXT | read PATH [TEXT] |"
                         " sleep SECONDS | spawn SECONDS\n");
    return 2;
}
