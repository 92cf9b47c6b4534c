#pragma once
// One polyline of a job page, in plot units (1/40 mm).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CArchive;
class Canvas;
struct KnifePoint;
struct MachineParams;

struct PlotPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const PlotPoint&) const = default;
};

namespace CurveKind {
enum : int32_t { Plot = 1, Cut = 2, ShortCut = 3 };
}

// Tag written at the head of every stored curve; the last loaded tag replaces it.
// Written by task-file loads and read by task-file saves, both on the UI thread
// (no lock: the link and job threads never touch the task file).
extern std::u16string g_strCurveTag;

class CCurve {
public:
    CCurve() = default;
    CCurve(const CCurve&) = delete;
    CCurve& operator=(const CCurve&) = delete;

    std::vector<PlotPoint> m_points;
    int32_t m_bSelected = 0;
    int32_t m_lineType = 0;
    int32_t m_bNoJoin = 0;
    int32_t m_kind = CurveKind::Plot;
    int32_t m_minX = 0, m_maxX = 0, m_minY = 0, m_maxY = 0;
    double m_length = 0;

    // Record operations.
    void CopyFrom(const CCurve& src);
    void CalcBoundRect();
    void CalcLength();
    void UpdateKind();
    void RemoveDuplicates();
    void RemoveCollinear();
    void Offset(int32_t dx, int32_t dy);
    void Scale(double sx, double sy);
    void Reverse();

    // Task-file record (CurveRecord.cpp).
    void Serialize(CArchive& ar);

    // ---- Task-file class identity (CurveRecord.cpp).
    static constexpr char kClassName[] = "CCurve";
    static constexpr uint16_t kSchema = 1;
    // Least bytes of one stored curve: a class-reference word, a tag of
    // length 0 in the 8-bit form, six int32 fields and a point count word.
    static constexpr size_t kMinRecordBytes = 2 + 1 + 6 * 4 + 2;

    // Geometry for selection, cutting and drawing --------------------------
    // Selection in view pixels (CurveGeometry.cpp).
    bool IsInsideRect(int32_t left, int32_t top, int32_t right, int32_t bottom) const;
    bool HitTest(int32_t x, int32_t y) const;
    // Winding rule over the stored edges only: no closing edge.
    bool ContainsPoint(int32_t x, int32_t y) const;
    // Knife compensation in plot units (KnifeCompensation.cpp).
    void CompensateCorners();
    void ExtendEnds();
    // Clipping to the feed-axis band [lo, hi) in pulses, appending to the
    // knife path of a pass (BandClip.cpp); with the live parameter block, or
    // with a given one (a job's snapshot).
    void ClipCutToBand(int32_t lo, int32_t hi, std::vector<KnifePoint>& path) const;
    void ClipShortCutToBand(int32_t lo, int32_t hi, std::vector<KnifePoint>& path) const;
    void ClipCutToBand(int32_t lo, int32_t hi, const MachineParams& mp, std::vector<KnifePoint>& path) const;
    void ClipShortCutToBand(int32_t lo, int32_t hi, const MachineParams& mp, std::vector<KnifePoint>& path) const;
    // CurveDraw.cpp.
    void Draw(Canvas& canvas) const;
    // ------------------------------------------------------------------------
};
