#pragma once
// One job: the curves of one plot file plus what the list and the sender need.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/Curve.h"

class CArchive;
class Canvas;

// The most a page split or a long-cut split may make of a page: more would
// cost gigabytes for nothing a plotter could use.
constexpr int64_t kMaxSplitPages = 100000;
constexpr size_t kMaxPagePoints = 16000000;

namespace JobState {
enum : int32_t { Manual = 0, Auto = 1, Done = 2, Printing = 3 };
}

class COnePage {
public:
    COnePage();
    COnePage(const COnePage&) = delete;
    COnePage& operator=(const COnePage&) = delete;
    ~COnePage();

    std::vector<std::unique_ptr<CCurve>> m_curves;
    std::u16string m_strFileName;
    int32_t m_maxX = 0, m_minX = 0, m_maxY = 0, m_minY = 0;
    int32_t m_inkMaxX = 0, m_inkMaxY = 0;
    int32_t m_cutMaxX = 0, m_cutMaxY = 0;
    int32_t m_copies = 1;
    int32_t m_state = JobState::Manual;
    int32_t m_startPos = 0;
    int64_t m_time = 0;  // seconds since 1970 UTC
    int32_t m_checked = 0;

    void CopyPageFrom(const COnePage& src);

    void CalcPageBounds();
    void CalcInkExtents();
    void CalcCutExtents();
    // What CalcPageBounds, and CalcInkExtents with CalcCutExtents, give, taken
    // from the curves' own bounds as they stand, without a pass over the
    // points: for callers that keep every curve's bounds as CalcBoundRect
    // would leave them (an importer that bounds each curve as it makes it).
    void FoldPageBounds();
    void FoldExtents();

    void DeleteAllCurves();
    void DeleteInkCurves();
    void DeleteCutCurves();
    void DeleteSelectedCurves();
    void DeselectAllCurves();

    // Task-file record (PageRecord.cpp).
    void Serialize(CArchive& ar);

    // ---- Task-file class identity (PageRecord.cpp).
    static constexpr char kClassName[] = "COnePage";
    static constexpr uint16_t kSchema = 1;
    // Least bytes of one stored page: a class-reference word, ten int32
    // fields, an empty 8-bit name, a bare 32-bit time and a curve count word.
    static constexpr size_t kMinRecordBytes = 2 + 10 * 4 + 1 + 4 + 2;

    // Transforms, send preparation, joining and outlines (PageTransforms.cpp, Outline*.cpp).
    // Transforms, send preparation, joining and outlines ---------------------
    // Every curve in array order (PageTransforms.cpp).
    void DrawAll(Canvas& canvas) const;

    // PageTransforms.cpp.
    void Rotate90();
    void MoveToLowerLeft();
    void NormalizeOrigin();
    // NormalizeOrigin on the bounds as they stand (just computed by the caller).
    void MoveToOrigin();
    void ScaleAll(double sx, double sy);
    void ApplyStartPosition();
    void ShiftUp(int32_t a);
    void ReorderByKind(int32_t flag);
    void SetAllToPlot();
    // PageSplit.cpp. A width of 0 or less does nothing. False, with the page
    // as it was, when the split would make more than kMaxSplitPages pages or
    // kMaxPagePoints pieces, or move pieces beyond the 32-bit range.
    bool SplitAlongY(int32_t w);

    // SendPreparation.cpp.
    void AddCleaningStripes(int32_t strength);
    // A length of 0 or less does nothing. Every cut curve is left with its
    // own length. False, with the page as it was, when the pieces would hold
    // more than kMaxPagePoints points.
    bool SplitLongCuts(int32_t L, int32_t g);
    void ClassifyShortCuts();
    // d as for CCurve::CompensateCorners and CCurve::ExtendEnds.
    void CompensateCutCorners(double d);
    void ExtendCutEnds(double d);
    void CleanUpCurves();

    // CurveJoin.cpp.
    void JoinConnectedCurves();
    void JoinNearbyCurves();
    // EndHooks.cpp.
    void SplitEndHooks();
    // OutlineDetect.cpp.
    void DetectOutlines();
    void DemoteNestedOutlines();
    // ------------------------------------------------------------------------
};

// A page's bounds and extents gathered curve by curve while an importer
// makes the curves, each bounded as it is made: no second visit to the
// curves or their points. Apply onto a page that holds exactly the curves
// added (in any order) gives what CalcPageBounds, CalcInkExtents and
// CalcCutExtents give.
class PageBoundsFold {
public:
    void Add(const CCurve& c);
    void Apply(COnePage& page) const;

private:
    bool m_any = false;
    int32_t m_minX = 0, m_maxX = 0, m_minY = 0, m_maxY = 0;
    int32_t m_inkMaxX = 0, m_inkMaxY = 0, m_cutMaxX = 0, m_cutMaxY = 0;
};

// The job being sent: filled by the job start, read by the sending thread.
extern COnePage WorkPage;
