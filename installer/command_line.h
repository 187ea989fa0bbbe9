// The setup program's command line: an optional "/s" with a log name, then an optional source
// folder, each either a plain word or a quoted text.
#pragma once

#include <optional>
#include <string>

namespace tess::installer {

struct CommandLine {
    bool silent = false;      // "/s" was given; accepted and otherwise ignored
    std::string silentLog;    // the word after "/s"
    std::string sourcePath;   // the source folder; empty when the line names none
};

// Takes the next file-name argument off the front of `text` and returns it; nothing when there
// is none (an empty argument, or a quote left open). A quoted argument is the text between the
// quotes; a plain one ends before the first space, slash or double quote.
std::optional<std::string> ExtractFilenameArg(std::string& text);

// Reads the whole line. "/s" is found in either case anywhere in the line; what stands before it
// is dropped.
CommandLine ProcessCommandLine(const std::string& command);

} // namespace tess::installer
