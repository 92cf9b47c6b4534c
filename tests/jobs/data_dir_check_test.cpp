// Guards: the program folder, the root or the other data folder (or one inside it) taken as a data folder, or a full one taken without asking.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "jobs/DataDirCheck.h"

namespace fs = std::filesystem;

namespace {

class DataDirs : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("datadir_" + std::to_string(::getpid()));
        fs::create_directories(root_ / "prog" / "sub");
        fs::create_directories(root_ / "empty" / "inner");
        fs::create_directories(root_ / "full");
        std::ofstream(root_ / "full" / "a.plt") << "IN;";
        fs::create_directory_symlink(root_ / "prog", root_ / "link");
        prog_ = (root_ / "prog").string() + "/";
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
    std::string prog_;
};

TEST_F(DataDirs, ProgramFolderInAnySpellingAndTheRootAreRefused)
{
    for (const std::string& p : {prog_, prog_.substr(0, prog_.size() - 1), (root_ / "prog" / "." / "").string(),
                                (root_ / "prog" / "sub" / "..").string(), (root_ / "link").string(),
                                std::string("/"), std::string("/./"), std::string("")}) {
        SCOPED_TRACE(p);
        EXPECT_EQ(CheckDataDir(p, prog_).verdict, DataDirVerdict::Refused);
    }
}

TEST_F(DataDirs, EmptyTakenFullAskedTrailingSlashAdded)
{
    const DataDirChoice e = CheckDataDir((root_ / "empty").string(), prog_);
    EXPECT_EQ(e.verdict, DataDirVerdict::Take);  // a sub-folder does not count
    EXPECT_EQ(e.path, (root_ / "empty").string() + "/");
    const DataDirChoice f = CheckDataDir((root_ / "full").string() + "/", prog_);
    EXPECT_EQ(f.verdict, DataDirVerdict::AskFirst);
    EXPECT_EQ(f.path, (root_ / "full").string() + "/");
    EXPECT_EQ(CheckDataDir((root_ / "prog" / "sub").string(), prog_).verdict, DataDirVerdict::Take);
    EXPECT_TRUE(IsFolderEmpty((root_ / "nowhere").string()));
    EXPECT_FALSE(IsFolderEmpty((root_ / "full").string()));
}
TEST_F(DataDirs, TheOtherDataFolderOrOneInsideEitherIsRefused)
{
    fs::create_directories(root_ / "mm" / "inner");
    fs::create_directories(root_ / "mmx");
    fs::create_directory_symlink(root_ / "mm", root_ / "mmlink");
    const std::string mm = (root_ / "mm").string() + "/";
    const struct {
        std::string chosen;
        bool refused;
    } cases[] = {
        {mm, true},
        {(root_ / "mm").string(), true},
        {(root_ / "mm" / "inner" / "..").string(), true},
        {(root_ / "mmlink").string(), true},
        {(root_ / "mm" / "inner").string(), true},  // inside the other
        {root_.string(), true},                      // the other inside it
        {(root_ / "mmx").string(), false},           // a name that only starts alike
        {(root_ / "empty").string(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen);
        const DataDirChoice d = CheckDataDir(c.chosen, prog_, mm);
        EXPECT_EQ(d.verdict == DataDirVerdict::Refused, c.refused);
        EXPECT_EQ(d.refusal, c.refused ? DataDirRefusal::OtherDataDir : DataDirRefusal::None);
    }
    EXPECT_EQ(CheckDataDir(prog_, prog_, mm).refusal, DataDirRefusal::ProgramFolder);
    EXPECT_EQ(CheckDataDir(mm, prog_, "").verdict, DataDirVerdict::Take);

    EXPECT_TRUE(SameFolder(mm, (root_ / "mmlink").string()));
    EXPECT_TRUE(SameFolder((root_ / "nowhere" / "a").string(), (root_ / "nowhere" / "b" / ".." / "a/").string()));
    EXPECT_FALSE(SameFolder(mm, (root_ / "mm" / "inner").string()));
    EXPECT_FALSE(SameFolder(mm, ""));
}
}  // namespace
