// The choice of the skin maker's data folder: a test write in the program's folder, and the
// user's local application data in its place where that write is refused.
#include "skinmaker/data_folder.h"

#include "core/product.h"

namespace tess::skinmaker {

namespace {

// One copy of the program runs at a time, so a fixed name cannot meet another's test.
constexpr const char* kProbeName = "~Tessary write test.tmp";

} // namespace

bool CanWriteIn(platform::Files& files, const std::string& folder) {
    const std::string probe = folder + "\\" + kProbeName;
    if (!files.WriteFileReplacing(probe, {'T'}).ok())
        return false;
    return files.RemoveFile(probe).ok();
}

std::string ChooseDataFolder(platform::Files& files, const std::string& programFolder,
                             const std::string& localAppData) {
    if (localAppData.empty() || CanWriteIn(files, programFolder))
        return programFolder;
    const std::string folder = localAppData + "\\" + product::kDataFolderName;
    // One that exists is what is wanted; one that cannot be made shows itself when the skin
    // cannot be saved there, with the message that says so.
    (void)files.CreateFolder(folder);
    return folder;
}

} // namespace tess::skinmaker
