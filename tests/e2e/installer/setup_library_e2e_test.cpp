// A library planted beside the setup program under the cabinet library's name, preferred by the
// loader: the setup program must not load it and must still install; a plain load does take it.
#include "tests/e2e/installer/setup_session.h"

namespace tess::e2e {
namespace {

class SetupLibrary : public SetupSession {
protected:
    void SetUp() override {
        SetupSession::SetUp();
        ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_PLANTED_LIBRARY).c_str(), (folder + "\\cabinet.dll").c_str(),
                              FALSE));
    }
    std::string marker() const { return folder + "\\planted.marker"; }
    // Wine's loader told to prefer a native cabinet library for `program`, as Windows' search
    // order would take one beside the program. Wine takes its loader overrides from the host
    // environment a program inherits, not from the environment block its parent passes, so the
    // per-program setting in the registry serves instead.
    static void preferPlantedFor(const std::string& program) {
        ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides",
                                        "cabinet", "native,builtin")
                        .ok());
    }
};

TEST_F(SetupLibrary, APlainLoadByNameTakesThePlantedLibrary) {
    ASSERT_TRUE(CopyFileA(WindowsPath(TESS_E2E_LIBRARY_LOADER).c_str(), (folder + "\\loader.exe").c_str(), FALSE));
    preferPlantedFor("loader.exe");
    auto loader = RunningProgram::Start({folder + "\\loader.exe", {"cabinet.dll"}, folder, {}});
    ASSERT_TRUE(loader.ok()) << loader.error().message;
    auto code = loader.value().waitForExit();
    ASSERT_TRUE(code.ok()) << code.error().message;
    EXPECT_EQ(code.value(), 0u);
    auto noted = ReadFileBytes(marker());
    ASSERT_TRUE(noted.ok()) << "the planted library was not loaded";
    EXPECT_NE(std::string(noted.value().begin(), noted.value().end()).find("loader.exe"), std::string::npos);
}

TEST_F(SetupLibrary, TheSetupProgramTakesTheSystemsLibraryAndInstalls) {
    placeCabinet();
    preferPlantedFor("orvinst.exe");
    start();
    installWithKeys();
    EXPECT_FALSE(FileExists(marker())) << "the planted library was loaded";
    auto installed = ReadFileBytes(defaultAppFolder() + "\\Tessary.exe");
    auto expected = ReadFileBytes(WindowsPath(TESS_E2E_EXTRACTED) + "\\Tessary.exe");
    ASSERT_TRUE(installed.ok() && expected.ok());
    EXPECT_TRUE(installed.value() == expected.value());
    EXPECT_FALSE(FileExists(cabinet()));
}

} // namespace
} // namespace tess::e2e
