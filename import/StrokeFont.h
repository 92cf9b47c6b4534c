#pragma once
// A stroke-font file held in memory: header values, sorted glyph index and the
// stroke bytes. Loading validates everything the decoder will trust.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model/Charactor.h"
#include "model/Message.h"

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

// A loader message (Load's text) as the operator's message, in both languages.
UserMessage FontLoadMessage(const std::string& text);
// Shows it through the one message sink (model/Message.h).
void ReportFontMessage(const std::string& text);
