// Handing web addresses and documents to the shell: opening a page in the user's browser, and
// the texts for the shell's failure codes.
#pragma once

#include <string>

#include "platform/files.h"
#include "skinmaker/shell_api.h"
#include "ui/host.h"

namespace tess::skinmaker {

// The text for a ShellExecute failure code (32 or less); "Unknown error" for codes without one.
std::string ShellErrorText(int code);

// Opens `WebSiteStr` in the browser: with `OpenNew`, the program that opens web pages is started
// with the address on its command line (a new browser window); otherwise the shell opens the
// address itself. The browser is found through a temporary page in the data folder, which is
// deleted again; where that page cannot be written the address is opened through the shell.
void OpenLink(ShellApi& shell, ui::Host& host, platform::Files& files, const std::string& dataFolder,
              const std::string& WebSiteStr, bool OpenNew);

} // namespace tess::skinmaker
