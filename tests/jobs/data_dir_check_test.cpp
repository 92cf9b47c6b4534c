// Guards: the program folder or the root taken as a data folder, or a full one taken without asking.
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
}  // namespace
