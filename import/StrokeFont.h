#pragma once
// A stroke-font file held in memory: header values, sorted glyph index and the
// stroke bytes. Loading validates everything the decoder will trust.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/Charactor.h"

enum class FontKind { SingleByte, DoubleByte };

class CStrokeFont {
public:
    // Header values; the defaults are the built-in fonts', kept when a load fails.
    int32_t m_topGap = 4, m_ascent = 22, m_descent = 7;  // single-byte file
    int32_t m_cellHeight = 16, m_advance = 16;           // double-byte file
    std::vector<CCharactor> m_index;
    std::vector<uint8_t> m_data;  // the whole file

    // Loads the file at path; on any fault the font has no glyphs, default
    // metrics, and a message is returned (empty on success).
    std::string Load(const std::string& path, FontKind kind);
    // Parses bytes already in memory.
    std::string Parse(std::vector<uint8_t> bytes, FontKind kind, const std::string& name);

    // Binary search on the sorted codes; null when absent.
    const CCharactor* Find(uint16_t code) const;
    std::span<const uint8_t> Strokes(const CCharactor& c) const
    {
        return {m_data.data() + c.m_offset, c.m_strokeLen};
    }
    void Clear();
};

// Where loader messages go; the program replaces the default (stderr).
// Written once at start-up by the UI thread, read by readers on the UI thread.
using FontMessageHandler = void (*)(const std::string& text);
void SetFontMessageHandler(FontMessageHandler handler);
void ReportFontMessage(const std::string& text);
