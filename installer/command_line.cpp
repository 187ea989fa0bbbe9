// Reading the command line: the switch is searched in a lower-cased copy so that "/S" counts,
// and the arguments are taken off the front of the remaining text one by one.
#include "command_line.h"

#include <algorithm>

#include "core/ascii_case.h"
#include "setup_strings.h"

namespace tess::installer {

std::optional<std::string> ExtractFilenameArg(std::string& text) {
    text = TrimSpaces(text);
    std::string argument;
    if (!text.empty() && text.front() == '"') {
        const size_t close = text.find('"', 1);
        if (close == std::string::npos)
            return std::nullopt;
        argument = text.substr(1, close - 1);
        text = text.substr(close + 1);
    } else {
        const size_t end = std::min(text.find_first_of(" /\""), text.size());
        argument = text.substr(0, end);
        text = text.substr(end);
    }
    argument = TrimSpaces(argument);
    if (argument.empty())
        return std::nullopt;
    text = TrimSpaces(text);
    return argument;
}

CommandLine ProcessCommandLine(const std::string& command) {
    CommandLine result;
    std::string line = TrimSpaces(command);
    const std::string lower = AsciiLower(line);
    if (const size_t at = lower.find("/s"); at != std::string::npos) {
        result.silent = true;
        line = TrimSpaces(line.substr(at + 2));
        std::optional<std::string> log = ExtractFilenameArg(line);
        if (!log)
            return result;
        result.silentLog = *log;
    }
    result.sourcePath = ExtractFilenameArg(line).value_or(std::string());
    return result;
}

} // namespace tess::installer
