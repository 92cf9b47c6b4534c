#pragma once
// Small stroke fonts in the two file formats and helpers to read HP-GL text,
// for the reader and font tests.
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/HpglFile.h"
#include "tests/import/FontBuilder.h"
#include "import/StrokeFont.h"
#include "model/Settings.h"
#include "model/Text.h"
#include "tests/support/TempFolder.h"

namespace fixture {

using namespace fontbuilder;

// A fresh path in the test program's own temporary folder, which goes with
// everything in it when the program ends.
inline std::string TempPath(const std::string& name)
{
    static testsupport::TempFolder folder("orlat_hpgl_");
    static std::atomic<int> serial{0};
    return folder.File(std::to_string(serial++) + "_" + name);
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
inline void WriteText(const std::string& path, const std::string& text)
{
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Messages the font loaders reported since the last Reset.
inline std::vector<std::string>& Messages()
{
    static std::vector<std::string> m;
    return m;
}
// The English text of every message shown.
inline void Capture(const char*, const std::u16string&, const std::u16string& english)
{
    Messages().push_back(ToUtf8(english));
}

// Writes the given fonts and points the settings at them; captures messages.
inline void InstallFonts(const std::vector<uint8_t>& en, const std::vector<uint8_t>& hz)
{
    const std::string enPath = TempPath("fon_en.bin");
    const std::string hzPath = TempPath("fon_hz.bin");
    WriteBytes(enPath, en);
    WriteBytes(hzPath, hz);
    theSettings.SetPath(Slot::FontEnPath, FromUtf8(enPath));
    theSettings.SetPath(Slot::FontHzPath, FromUtf8(hzPath));
    SetMessageSink(&Capture);
    Messages().clear();
}
inline void InstallFixtureFonts() { InstallFonts(MakeEnFont(EnGlyphs()), MakeHzFont(HzGlyphs())); }

// Writes text to a file and reads it.
inline int Read(CHpglFile& r, const std::string& text, size_t block = size_t{1} << 20)
{
    const std::string path = TempPath("in.plt");
    WriteText(path, text);
    r.m_strPath = FromUtf8(path);
    r.m_blockSize = block;
    const int rc = r.ReadPltFile();
    ::unlink(path.c_str());
    return rc;
}

}  // namespace fixture
