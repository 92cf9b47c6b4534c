#pragma once
// The printed curves of a job as pen segments in page pixels, bucketed by the
// bands they reach, so a band draws only its own segments.
#include <cstdint>
#include <vector>

#include "link/output/BandRaster.h"
#include "link/output/JobSnapshot.h"
#include "model/Curve.h"

class COnePage;

// Page pixel of a plot point: row = LineWidth + trunc(X / 40 x 12), column =
// LineWidth + trunc(Y / 40 x pulsesPerMmY / inkIntervalPulses), kept within
// +-kPixelLimit. A band's rows are the page rows from its start row on.
struct PagePixel {
    int32_t row = 0;
    int32_t column = 0;
};
PagePixel MapToPagePixel(const PlotPoint& p, const JobSnapshot& s);

class BandStrokes {
public:
    // Takes the curves the PlotCutLine setting selects (0: Plot curves, 1: all,
    // other values: none); curves with fewer than two points leave no ink.
    void Build(const COnePage& page, const JobSnapshot& s);
    void Clear();

    // Adds one polyline in page pixels (dashed: line type other than 0).
    void AddPolyline(const PagePixel* pts, size_t count, bool dashed);
    // Sorts the segments into the buckets of bands 0 .. bandCount - 1, bands
    // `bandRows` apart with windows of `windowRows` rows; call after the last
    // AddPolyline. Later bands draw nothing (the job sends none of them).
    void Bucket(int32_t bandRows, int32_t windowRows, int32_t bandCount);

    // Draws every segment that reaches band j's window into w (row0 = j x bandRows).
    void DrawBand(int32_t band, const BitWindow& w) const;
    // Draws every segment into w, whatever its rows (tests: the whole page).
    void DrawAll(const BitWindow& w) const;

    int32_t PenWidth() const { return m_width; }
    // The solid pen for widths above 1.
    const RoundPen& Pen() const { return m_pen; }
    void SetPenWidth(int32_t lineWidth)
    {
        m_width = lineWidth < 1 ? 1 : lineWidth;
        if (m_pen.Width() != m_width) m_pen = RoundPen(m_width);
    }

private:
    // One polyline: points first .. last of m_pts, segment k from point k to
    // k + 1. A dashed line keeps the distance along it at the start of each
    // segment from m_along[along] on.
    struct Line {
        uint32_t first = 0;
        uint32_t last = 0;
        int32_t along = -1;  // -1: solid
        bool joins = false;  // dashed with a wide pen: round joins where a dash runs on
    };
    // Segments begin .. end - 1 of one line: the buckets hold runs of
    // consecutive segments, not one entry per segment, because a marker's
    // outlines cross a band in long runs of short steps.
    struct Run {
        uint32_t line;
        uint32_t begin;
        uint32_t end;
    };
    void DrawRun(const Run& r, const BitWindow& w) const;
    // Ends the line whose points were appended from m_lines.back() on.
    void EndLine(bool dashed);

    int32_t m_width = 1;
    RoundPen m_pen{1};
    std::vector<PagePixel> m_pts;
    std::vector<double> m_along;
    std::vector<Line> m_lines;
    int32_t m_bandCount = 0;
    std::vector<std::vector<Run>> m_bandRuns;  // per band, up to the last band any short segment reaches
    std::vector<Run> m_long;                   // segments reaching many bands: tried by every band
};
