#pragma once
// Our own 1-bit line rasteriser for the band images. Coordinates are page
// pixels: x the row (1/12 mm along the feed), y the column (one ink interval
// across). A window holds a run of rows of every column; every pixel decision
// depends only on the pixel relative to the segment, so a band is exactly the
// same rows of the page drawn as one tall image.
#include <cstdint>
#include <vector>

// Coordinates are kept within +-kPixelLimit so the exact tests fit 64/128 bits.
constexpr int32_t kPixelLimit = 1 << 26;

// Where a window row lands within a column: byte offset and bit mask.
struct RowPlace {
    int32_t offset = 0;
    uint8_t mask = 0;
};

struct BitWindow {
    uint8_t* bits = nullptr;  // `columns` scan lines of `stride` bytes
    int32_t row0 = 0;         // page row held by bit 7 of byte 0
    int32_t rows = 0;         // rows held, at most stride * 8
    int32_t stride = 0;
    int32_t columns = 0;
    // Null: the plain layout, row r at byte r >> 3, bit 7 - (r & 7). Else the
    // place of each of the `rows` rows (the band engine draws straight into
    // the column records this way).
    const RowPlace* places = nullptr;

    RowPlace Place(int32_t row) const
    {
        const int32_t r = row - row0;
        if (places != nullptr) return places[r];
        return RowPlace{r >> 3, static_cast<uint8_t>(0x80u >> (r & 7))};
    }
    void Set(int32_t row, int32_t column) const
    {
        const RowPlace p = Place(row);
        bits[static_cast<int64_t>(column) * stride + p.offset] |= p.mask;
    }
    bool Get(int32_t row, int32_t column) const
    {
        const RowPlace p = Place(row);
        return (bits[static_cast<int64_t>(column) * stride + p.offset] & p.mask) != 0;
    }
};

// The dash pattern of line types other than 0, in band pixels.
constexpr double kDashOn = 100.0;
constexpr double kDashPeriod = 140.0;
// The dash inks at distance v along the curve: fmod(v, kDashPeriod) < kDashOn.
bool DashOn(double v);

struct PenSegment {
    int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    double s0 = 0;  // dashed: distance along the curve at (x0, y0)
};

// Solid pen of width 1: a one-pixel line without its last pixel.
void DrawThinSegment(const BitWindow& w, const PenSegment& s);
// Solid pen wider than 1: the segment with round ends (a zero-length segment
// gives the disc).
void DrawRoundSegment(const BitWindow& w, const PenSegment& s, int32_t width);

// The same pen with its end discs worked out once for its width, for drawing
// many segments: each row's run is stepped from the previous row's.
class RoundPen {
public:
    explicit RoundPen(int32_t width = 2);
    int32_t Width() const { return m_width; }
    void Draw(const BitWindow& w, const PenSegment& s) const;

private:
    int32_t m_width;
    // The columns of an end disc relative to its centre's column, for a
    // doubled row offset a = 0 .. w from its centre (the disc's half-width
    // there is isqrt(w^2 - a^2) in doubled units).
    std::vector<int32_t> m_discLo, m_discHi;
    // The strip's constants (a square root and divisions) of every path up to
    // kShortPath - 1 pixels along each axis, worked out once.
    static constexpr int64_t kShortPath = 16;
    struct ShortPath {
        int32_t K, alongQ, alongR, acrossQ, acrossR, alongDq, alongDr, acrossDq, acrossDr;
    };
    std::vector<ShortPath> m_short;
};
// Dashed geometric pen: flat ends, 100 on and 40 off along the curve from s0.
void DrawDashedSegment(const BitWindow& w, const PenSegment& s, int32_t width);
