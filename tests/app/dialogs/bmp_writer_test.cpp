// Guards: a screenshot file with wrong bytes, or half written when the write fails.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/dialogs/BmpWriter.h"

namespace {
std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(BmpWriter, OddWidthFixtureMatchesGoldenBytes)
{
    // Top row red, green, blue; bottom row white, black, #123456.
    const uint32_t pixels[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFF123456};
    const auto bmp = EncodeBmp16({3, 2, 3, pixels});
    ASSERT_TRUE(bmp);
    const std::vector<uint8_t> golden = {
        0x42, 0x4D, 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                    // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 16, 0,                    // size, w, h, planes, bpp
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // BI_RGB, size 0, ...
        0xFF, 0x7F, 0x00, 0x00, 0xCA, 0x08, 0, 0,                            // bottom row first, padded
        0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0,
    };
    EXPECT_EQ(*bmp, golden);

    QImage back;
    ASSERT_TRUE(back.loadFromData(bmp->data(), static_cast<int>(bmp->size()), "BMP"));
    ASSERT_EQ(back.size(), QSize(3, 2));
    EXPECT_EQ(qRed(back.pixel(0, 0)) >> 3, 31);
    EXPECT_EQ(qGreen(back.pixel(1, 0)) >> 3, 31);
    EXPECT_EQ(qBlue(back.pixel(2, 0)) >> 3, 31);
    EXPECT_EQ(qRed(back.pixel(2, 1)) >> 3, 0x12 >> 3);
    EXPECT_EQ(qGreen(back.pixel(2, 1)) >> 3, 0x34 >> 3);
    EXPECT_EQ(qBlue(back.pixel(2, 1)) >> 3, 0x56 >> 3);
}

TEST(BmpWriter, SizesBeyondTheHeaderFieldsAreRefused)
{
    EXPECT_EQ(Bmp16ImageSize(3, 2), 16u);
    EXPECT_EQ(Bmp16ImageSize(2, 1), 4u);
    EXPECT_FALSE(Bmp16ImageSize(0, 5));
    EXPECT_FALSE(Bmp16ImageSize(5, -1));
    EXPECT_FALSE(Bmp16ImageSize(int64_t(1) << 31, 1));
    EXPECT_FALSE(Bmp16ImageSize(65536, 32768));  // 4 GiB of rows
    EXPECT_TRUE(Bmp16ImageSize(32768, 32767));
    const uint32_t one = 0;
    EXPECT_FALSE(EncodeBmp16({0, 1, 0, &one}));
    EXPECT_FALSE(EncodeBmp16({1, 1, 1, nullptr}));
}

TEST(BmpWriter, WholeFileOrNothing)
{
    const auto dir = std::filesystem::temp_directory_path() / ("bmp_writer_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "a.jpg").string();
    const std::vector<uint8_t> bytes(1000, 7);
    ASSERT_TRUE(WriteFileWhole(path, bytes));
    EXPECT_EQ(ReadAll(path), bytes);
    // Over an existing file: replaced whole.
    ASSERT_TRUE(WriteFileWhole(path, {1, 2, 3}));
    EXPECT_EQ(ReadAll(path), (std::vector<uint8_t>{1, 2, 3}));
    // A folder that does not exist: false and nothing left anywhere.
    EXPECT_FALSE(WriteFileWhole((dir / "missing" / "b.jpg").string(), bytes));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    std::filesystem::remove_all(dir);
}
}  // namespace
