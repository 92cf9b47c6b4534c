// The head and address rules and the data-directory checks.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/jobs/DataDirCheck.h"
#include "app/dialogs/ParaRules.h"

namespace fs = std::filesystem;

namespace {
TEST(HeadRule, LoadSaveAndClicks)
{
    EXPECT_EQ(HeadBoxesFromSelect(0), (HeadBoxes{true, true}));
    EXPECT_EQ(HeadBoxesFromSelect(1), (HeadBoxes{true, false}));
    EXPECT_EQ(HeadBoxesFromSelect(2), (HeadBoxes{false, true}));
    EXPECT_EQ(HeadBoxesFromSelect(3), (HeadBoxes{true, true}));
    EXPECT_EQ(HeadSelectFromBoxes({true, true}), 0);
    EXPECT_EQ(HeadSelectFromBoxes({true, false}), 1);
    EXPECT_EQ(HeadSelectFromBoxes({false, true}), 2);

    // Only head 1: clearing it turns head 2 on (stored as 2).
    HeadBoxes h = HeadBoxClicked({true, false}, 1);
    EXPECT_EQ(h, (HeadBoxes{false, true}));
    EXPECT_EQ(HeadSelectFromBoxes(h), 2);
    // Both: clearing 2 leaves head 1 alone; clicking 2 again gives both.
    h = HeadBoxClicked({true, true}, 2);
    EXPECT_EQ(h, (HeadBoxes{true, false}));
    EXPECT_EQ(HeadBoxClicked(h, 2), (HeadBoxes{true, true}));
    EXPECT_EQ(HeadBoxClicked({false, true}, 2), (HeadBoxes{true, false}));
}

TEST(AddressRule, FirstOctetInTheLowByte)
{
    EXPECT_EQ(IpOctets(0xD701A8C0u), (std::array<int, 4>{192, 168, 1, 215}));
    EXPECT_EQ(IpFromOctets({192, 168, 1, 215}), 0xD701A8C0u);
    EXPECT_EQ(IpFromOctets({0, 0, 0, 0}), 0u);
    EXPECT_EQ(IpFromOctets({255, 255, 255, 255}), 0xFFFFFFFFu);
}

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
