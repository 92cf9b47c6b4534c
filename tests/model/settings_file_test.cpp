// Guards: a settings file missing keys, values read wrongly, other lines lost, or an unreadable file replaced.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/MachineParams.h"
#include "model/ProfileFile.h"
#include "model/Settings.h"
#include "model/SettingsFile.h"
#include "model/Text.h"

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::path(ORLAT_BINARY_DIR) / ("settings_file_test_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        theSettings.InitPathsFrom(FromUtf8(dir.string() + "/"));
        ini = dir / "OrlatV2.ini";
    }
    void TearDown() override { fs::remove_all(dir); }

    void Write(const std::string& text) { std::ofstream(ini, std::ios::binary) << text; }
    std::string Slurp() const
    {
        std::ifstream in(ini, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string Load()
    {
        std::string error;
        EXPECT_TRUE(LoadSettings(&error)) << error;
        return error;
    }

    fs::path dir, ini;
};

TEST_F(SettingsFile, FreshFileHoldsEveryKeyInSaveOrder)
{
    Load();
    EXPECT_TRUE(fs::is_directory(dir / "PlotDirMm"));
    EXPECT_TRUE(fs::is_directory(dir / "PlotDirMil"));
    std::string error;
    ASSERT_TRUE(SaveSettings(&error)) << error;
    const std::string d = dir.string() + "/";
    EXPECT_EQ(Slurp(),
              "[Para]\n"
              "AutoDelFinish=1\n"
              "UnitNoHintNextTime=1\n"
              "AutoOffline=0\n"
              "Language=0\n"
              "BiDirPlot=1\n"
              "LineWidth=2\n"
              "PlotOnly=0\n"
              "PlotCutLine=0\n"
              "CleanAtStart=0\n"
              "CleanAtSection=0\n"
              "DxfUnit=40\n"
              "CutSEOftHpgl=10\n"
              "CleanThickness=3\n"
              "DataDirMm=" + d + "PlotDirMm/\n"
              "DataDirMil=" + d + "PlotDirMil/\n"
              "PaperLenMm=2000\n"
              "SearchOutline=0\n"
              "AutoAddToList=1\n"
              "AutoStart=1\n"
              "AutoRotate=1\n"
              "MachineIP=-687757120\n"
              "ConnectViaEth=0\n"
              "InkBox2Left=0\n"
              "PltFileUnit=0\n");
    const MachineParams p = SnapshotMachineParams();
    EXPECT_EQ(p.machineIp, 0xD701A8C0u);  // 192.168.1.215, first octet low
}

TEST_F(SettingsFile, LoadsEveryKindOfValue)
{
    Write("[PARA]\r\nlanguage=3\r\nPaperLenMm=1600mm\r\nMachineIP=-687757120\r\nPltFileUnit=\"1\"\r\n"
          "UnitNoHintNextTime=0\r\nInkBox2Left=1\r\nConnectViaEth=1\r\nDxfUnit=abc\r\n");
    Load();
    EXPECT_EQ(theSettings.Get(Slot::Language), 3);
    EXPECT_EQ(theSettings.Get(Slot::PaperLenMm), 1600);
    EXPECT_EQ(theSettings.Get(Slot::ConnectViaEth), 1);
    EXPECT_EQ(theSettings.Get(Slot::DxfUnit), 0);
    EXPECT_EQ(theSettings.Get(Slot::LineWidth), 2);
    EXPECT_EQ(PltFileUnit.load(), 1);
    EXPECT_EQ(UnitNoHintNextTime.load(), 0);
    EXPECT_EQ(InkBox2Left.load(), 1);
    EXPECT_EQ(SnapshotMachineParams().machineIp, 0xD701A8C0u);
}

TEST_F(SettingsFile, PaperWidthOfZeroOrLessBecomesTheDefault)
{
    for (const char* v : {"0", "-5"}) {
        Write(std::string("[Para]\nPaperLenMm=") + v + "\n");
        Load();
        EXPECT_EQ(theSettings.Get(Slot::PaperLenMm), 2000) << v;
    }
}

TEST_F(SettingsFile, SaveUpdatesInPlaceAndKeepsOtherLines)
{
    Write("; hand notes\r\n[Other]\r\nX=1\r\n[Para]\r\nLanguage=1\r\nUnknown=keep\r\n\r\n[Later]\r\nY=2\r\n");
    Load();
    theSettings.Set(Slot::Language, 2);
    std::string error;
    ASSERT_TRUE(SaveSettings(&error)) << error;
    const std::string text = Slurp();
    EXPECT_EQ(text.rfind("; hand notes\r\n[Other]\r\nX=1\r\n[Para]\r\nLanguage=2\r\nUnknown=keep\r\nAutoDelFinish=1\r\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("PltFileUnit=0\r\n\r\n[Later]\r\nY=2\r\n"), std::string::npos) << text;
    const ProfileFile back = ProfileFile::Parse(text);
    EXPECT_EQ(back.GetString("Para", "DataDirMm"), ToUtf8(theSettings.DataDirMm));
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsNotReplaced)
{
    // An oversized file: the defaults apply, the failure is told, and a save
    // refuses to write over lines it could not read.
    {
        std::ofstream big(ini, std::ios::binary);
        big << "[Para]\nLanguage=1\n" << std::string(5 * 1024 * 1024, ';');
    }
    theSettings.Set(Slot::Language, 7);
    std::string error;
    EXPECT_FALSE(LoadSettings(&error));
    EXPECT_NE(error.find("OrlatV2.ini"), std::string::npos);
    EXPECT_EQ(theSettings.Get(Slot::Language), 0);
    EXPECT_TRUE(fs::is_directory(dir / "PlotDirMm"));
    const auto size = fs::file_size(ini);
    EXPECT_FALSE(SaveSettings(&error));
    EXPECT_EQ(fs::file_size(ini), size);
    EXPECT_EQ(ReadLanguageSetting(ini.string()), 0);
}

TEST_F(SettingsFile, LanguageIsReadWithoutTouchingTheFile)
{
    Write("[Para]\nLanguage=1\n");
    const auto before = fs::last_write_time(ini);
    EXPECT_EQ(ReadLanguageSetting(ini.string()), 1);
    EXPECT_EQ(ReadLanguageSetting((dir / "none.ini").string()), 0);
    EXPECT_EQ(fs::last_write_time(ini), before);
    EXPECT_FALSE(fs::exists(dir / "none.ini"));
}

}  // namespace
