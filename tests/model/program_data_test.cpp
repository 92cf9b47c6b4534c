// Guards where an installed program finds its shipped files and where it writes: never into its own prefix.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "model/ProgramData.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// An installed prefix (bin/ and share/orlatcenter/) and a build tree's
// folder (the program alone), with the user's data folder set aside.
class ProgramData : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(prefix / "bin");
        fs::create_directories(data / "TestPlt");
        fs::create_directories(build);
        Put(data / "fon_en.bin");
        Put(data / "fon_hz.bin");
        Put(data / "TestPlt" / "10x10.plt");
        const char* old = std::getenv("XDG_DATA_HOME");
        hadXdg = old != nullptr;
        if (old) savedXdg = old;
        ::setenv("XDG_DATA_HOME", (root / "user").c_str(), 1);
    }
    void TearDown() override
    {
        if (hadXdg) ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
        else ::unsetenv("XDG_DATA_HOME");
    }
    static void Put(const fs::path& p) { std::ofstream(p, std::ios::binary) << "x"; }
    std::string Bin() const { return (prefix / "bin").string() + "/"; }
    std::string Build() const { return build.string() + "/"; }

    testsupport::TempFolder folder{"orlat_program_data_"};
    const fs::path& root = folder.path();
    fs::path prefix = root / "pre fix";
    fs::path data = prefix / "share" / "orlatcenter";
    fs::path build = root / "build" / "app";
    bool hadXdg = false;
    std::string savedXdg;
};

}  // namespace

TEST_F(ProgramData, FilesBesideTheProgramComeFirstThenTheInstalledOnes)
{
    EXPECT_EQ(InstalledDataFolder(Bin()), data.string() + "/");
    EXPECT_EQ(InstalledDataFolder(Build()), "");
    EXPECT_EQ(InstalledDataFolder(""), "");

    EXPECT_EQ(FindProgramData(Bin(), "TestPlt/10x10.plt"), (data / "TestPlt" / "10x10.plt").string());
    EXPECT_EQ(FindProgramData(Bin(), "TestPlt/20x20.plt"), "");
    EXPECT_EQ(FindProgramData(Build(), "fon_en.bin"), "");
    Put(prefix / "bin" / "fon_en.bin");
    EXPECT_EQ(FindProgramData(Bin(), "fon_en.bin"), (prefix / "bin" / "fon_en.bin").string());
}

TEST_F(ProgramData, AnInstalledProgramWritesInTheUsersFolderEvenWhereItMayWriteItsOwn)
{
    // The bin/ folder is writable here (and for root always): the install
    // alone decides.
    EXPECT_EQ(ToUtf8(CSettings::ChooseProgramDir(Bin())), (root / "user" / "OrlatCenter").string() + "/");
    EXPECT_TRUE(fs::is_directory(root / "user" / "OrlatCenter"));
    EXPECT_EQ(ToUtf8(CSettings::ChooseProgramDir(Build())), Build());
}

TEST_F(ProgramData, FontsComeFromTheProgramFolderElseTheShippedCopies)
{
    const fs::path user = root / "user" / "OrlatCenter";
    fs::create_directories(user);
    CSettings s;
    s.InitPathsFrom(FromUtf8(user.string()), Bin());
    EXPECT_EQ(ToUtf8(s.Path(Slot::FontEnPath)), (data / "fon_en.bin").string());
    EXPECT_EQ(ToUtf8(s.Path(Slot::FontHzPath)), (data / "fon_hz.bin").string());
    EXPECT_EQ(ToUtf8(s.Path(Slot::LastTaskPath)), (user / "last2107.orlattask").string());
    // The shipped fonts are there: nothing is written into the user's folder.
    s.EnsureFontFiles();
    EXPECT_FALSE(fs::exists(user / "fon_en.bin"));
    EXPECT_FALSE(fs::exists(user / "fon_hz.bin"));

    // A font of the user's own wins.
    Put(user / "fon_en.bin");
    s.InitPathsFrom(FromUtf8(user.string()), Bin());
    EXPECT_EQ(ToUtf8(s.Path(Slot::FontEnPath)), (user / "fon_en.bin").string());
    EXPECT_EQ(ToUtf8(s.Path(Slot::FontHzPath)), (data / "fon_hz.bin").string());

    // A build tree without shipped copies writes them into its program folder.
    CSettings b;
    b.InitPathsFrom(FromUtf8(Build()), Build());
    EXPECT_EQ(ToUtf8(b.Path(Slot::FontHzPath)), Build() + "fon_hz.bin");
    b.EnsureFontFiles();
    EXPECT_TRUE(fs::exists(build / "fon_hz.bin"));
}
