// A shell for headless tests: records what it was asked to find and open, answers with the codes
// a test sets, and can see the files it was asked about at the moment it was asked.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skinmaker/shell_api.h"

namespace tess::testing {

class ScriptedShell : public skinmaker::ShellApi {
public:
    struct Execute {
        uintptr_t owner;
        std::string verb, file, parameters, directory;
        int show;
    };

    int findResult = 42;
    std::string browser = "C:\\Browser\\browse.exe";
    int executeResult = 42;
    std::vector<std::string> found;  // the files FindExecutable was asked about
    std::vector<Execute> executed;
    // Runs while FindExecutable is asked, e.g. to look at the temporary page.
    std::function<void(const std::string& file)> onFind;

    int FindExecutable(const std::string& file, const std::string&, std::string& program) override {
        found.push_back(file);
        if (onFind) onFind(file);
        if (findResult > 32) program = "  " + browser + " ";
        return findResult;
    }
    int ShellExecute(uintptr_t owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& directory, int show) override {
        executed.push_back({owner, verb, file, parameters, directory, show});
        return executeResult;
    }
};

} // namespace tess::testing
