// Guards: data folders that do not follow the program folder, unusable ones kept, existing ones replaced.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

// A temporary program folder; each test starts from empty data directories.
class SettingsPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        program = folder.path() / "prog dir 100%";
        fs::create_directories(program);
        s.InitPathsFrom(FromUtf8(program.string() + "/"));
    }

    std::u16string Dir() const { return s.Path(Slot::ProgramDir); }
    std::u16string U(const fs::path& p, const char* tail = "") const { return FromUtf8(p.string() + tail); }

    testsupport::TempFolder folder{"orlat_settings_"};
    const fs::path& root = folder.path();
    fs::path program;
    CSettings s;
};

}  // namespace

TEST_F(SettingsPaths, PathsFollowTheProgramFolder)
{
    EXPECT_EQ(Dir(), U(program, "/"));
    EXPECT_EQ(s.Path(Slot::LastTaskPath), U(program, "/last2107.orlattask"));
    EXPECT_EQ(s.Path(Slot::FontHzPath), U(program, "/fon_hz.bin"));
    EXPECT_EQ(s.Path(Slot::FontEnPath), U(program, "/fon_en.bin"));
    CSettings noSlash;
    noSlash.InitPathsFrom(U(program));
    EXPECT_EQ(noSlash.Path(Slot::ProgramDir), Dir());

    // The real start-up: the executable's folder, or the user's data folder.
    CSettings real;
    real.InitPaths();
    const std::string dir = ToUtf8(real.Path(Slot::ProgramDir));
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(fs::is_directory(dir));
    EXPECT_EQ(real.Path(Slot::LastTaskPath), real.Path(Slot::ProgramDir) + u"last2107.orlattask");
}

TEST_F(SettingsPaths, EmptyDirectoriesGetDefaultsCreated)
{
    s.EnsureDataDirs();
    EXPECT_EQ(s.DataDirMm, Dir() + u"PlotDirMm/");
    EXPECT_EQ(s.DataDirMil, Dir() + u"PlotDirMil/");
    EXPECT_TRUE(fs::is_directory(program / "PlotDirMm"));
    EXPECT_TRUE(fs::is_directory(program / "PlotDirMil"));
}

TEST_F(SettingsPaths, UnusableDirectoriesAreReset)
{
    fs::create_directories(root / "real");
    fs::create_symlink(program, root / "link");
    std::ofstream(root / "afile") << "x";
    const std::string p = program.string();
    struct Case { const char* name; std::string dir; };
    const Case cases[] = {
        {"program folder", p + "/"},
        {"program folder without slash", p},
        {"double slash", p + "//"},
        {"dot segment", p + "/./"},
        {"parent segment", p + "/../" + program.filename().string() + "/"},
        {"symbolic link", (root / "link").string() + "/"},
        {"missing folder", (root / "missing").string() + "/"},
        {"two characters", "/a"},
        {"a plain file", (root / "afile").string()},
    };
    for (const Case& c : cases) {
        s.DataDirMm = FromUtf8(c.dir);
        s.DataDirMil = FromUtf8((root / "real").string() + "/");
        s.EnsureDataDirs();
        EXPECT_EQ(s.DataDirMm, Dir() + u"PlotDirMm/") << c.name;
        EXPECT_EQ(s.DataDirMil, FromUtf8((root / "real").string() + "/")) << c.name;
    }
    EXPECT_FALSE(fs::exists(root / "missing"));
}

TEST_F(SettingsPaths, ExistingDirectoriesAreKept)
{
    fs::create_directories(root / "plots mm");
    fs::create_directories(program / "sub");
    s.DataDirMm = U(root / "plots mm");          // without the trailing '/'
    s.DataDirMil = U(program / "sub", "/");      // inside the program folder is allowed
    s.EnsureDataDirs();
    EXPECT_EQ(s.DataDirMm, U(root / "plots mm"));
    EXPECT_EQ(s.DataDirMil, U(program / "sub", "/"));
    EXPECT_FALSE(fs::exists(program / "PlotDirMm"));
}

TEST(SettingsFallback, UserDataFolder)
{
    const char* oldXdg = std::getenv("XDG_DATA_HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "";
    const char* oldHome = std::getenv("HOME");
    const std::string savedHome = oldHome ? oldHome : "";

    ::setenv("HOME", "/home/op", 1);
    ::setenv("XDG_DATA_HOME", "/data/x/", 1);
    EXPECT_EQ(CSettings::UserDataProgramDir(), u"/data/x/OrlatCenter/");
    ::setenv("XDG_DATA_HOME", "relative/dir", 1);
    EXPECT_EQ(CSettings::UserDataProgramDir(), u"/home/op/.local/share/OrlatCenter/");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(CSettings::UserDataProgramDir(), u"/home/op/.local/share/OrlatCenter/");

    if (oldXdg) ::setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    if (oldHome) ::setenv("HOME", savedHome.c_str(), 1); else ::unsetenv("HOME");
}
