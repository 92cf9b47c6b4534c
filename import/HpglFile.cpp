#include "import/HpglFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

#include "import/FileBusy.h"
#include "import/HeapReservation.h"
#include "model/Numeric.h"
#include "model/Page.h"
#include "model/Text.h"

namespace {

class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() { ::close(m_fd); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

private:
    int m_fd;
};

// Running page bounds over the page breaks of one conversion: the first break
// computes them over the whole page, later ones fold in only the new curves,
// which gives what a full recomputation would.
class PageBoundsTracker {
public:
    void Update(COnePage& page)
    {
        if (!m_valid) {
            page.CalcPageBounds();
            m_valid = true;
        } else {
            for (size_t i = m_folded; i < page.m_curves.size(); ++i) {
                CCurve& c = *page.m_curves[i];
                c.CalcBoundRect();
                page.m_minX = std::min(page.m_minX, c.m_minX);
                page.m_maxX = std::max(page.m_maxX, c.m_maxX);
                page.m_minY = std::min(page.m_minY, c.m_minY);
                page.m_maxY = std::max(page.m_maxY, c.m_maxY);
            }
        }
        m_folded = page.m_curves.size();
    }

private:
    bool m_valid = false;
    size_t m_folded = 0;
};

}  // namespace

CHpglFile::CHpglFile() = default;

CHpglFile::~CHpglFile() { ClearRecords(); }

void CHpglFile::ClearRecords()
{
    m_records.clear();
    m_values.clear();
    m_built.clear();
    m_build = CurveBuilder{};
    m_build.dropRepeats = m_dropRepeatedPoints;
    m_recording = m_keepRecords;
    m_eventCount = 0;
}

void CHpglFile::AddRecord(int32_t type)
{
    CommandRecord r;
    r.type = type;
    r.first = static_cast<uint32_t>(m_values.size());
    m_records.push_back(r);
}

void CHpglFile::AddValue(int32_t v)
{
    m_values.push_back(v);
    ++m_records.back().count;
}

// ---- Record events -------------------------------------------------------

void CHpglFile::EmitStart(int32_t x, int32_t y)
{
    m_eventCount += 2;
    if (m_recording) {
        AddRecord(recStart);
        AddValue(x);
        AddValue(y);
        AddRecord(recPoints);
        return;
    }
    m_build.Start(m_build.At(x, y), m_built);
}

// A point of the path the last EmitStart began.
void CHpglFile::EmitPathPoint(int32_t x, int32_t y)
{
    if (m_recording) {
        AddValue(x);
        AddValue(y);
        return;
    }
    m_build.points.push_back(m_build.At(x, y));
}

void CHpglFile::EmitPage()
{
    ++m_eventCount;
    // Where the next page starts depends on the page the curves go to: from
    // here on the records wait for ToPage.
    m_recording = true;
    AddRecord(recPage);
}

void CHpglFile::EmitLineType(const int32_t* v)
{
    ++m_eventCount;
    if (m_recording) {
        AddRecord(recLineType);
        if (v) AddValue(*v);
        return;
    }
    m_build.lineType = v ? *v : 0;
}

void CHpglFile::EmitPen(const int32_t* v)
{
    ++m_eventCount;
    if (m_recording) {
        AddRecord(recPen);
        if (v) AddValue(*v);
        return;
    }
    m_build.Pen(v, m_built);
}

// ---- Curve builder -------------------------------------------------------

PlotPoint CHpglFile::CurveBuilder::At(int32_t x, int32_t y) const
{
    return {offsetX == 0 ? x : SaturateToInt(x + offsetX), y};
}

void CHpglFile::CurveBuilder::Flush(std::vector<std::unique_ptr<CCurve>>& out)
{
    auto c = std::make_unique<CCurve>();
    c->m_kind = curKind;
    c->m_lineType = curLineType;
    auto end = points.end();
    if (dropRepeats) end = std::unique(points.begin(), end);  // CCurve::RemoveDuplicates
    c->m_points.assign(points.begin(), end);  // exactly its size
    // Bounded now, while the points are in the cache: the importer takes the
    // page's bounds and extents from the fold.
    c->CalcBoundRect();
    fold.Add(*c);
    out.push_back(std::move(c));
    points.clear();
}

void CHpglFile::CurveBuilder::Start(PlotPoint p, std::vector<std::unique_ptr<CCurve>>& out)
{
    if (!points.empty() && (!(p == points.back()) || curKind != kind)) {
        Flush(out);
        curKind = kind;
        curLineType = lineType;
    }
    points.push_back(p);
}

void CHpglFile::CurveBuilder::Pen(const int32_t* v, std::vector<std::unique_ptr<CCurve>>& out)
{
    kind = (!v || *v <= 1) ? CurveKind::Plot : CurveKind::Cut;
    if (kind != curKind) {
        if (!points.empty()) {
            Flush(out);
            curLineType = lineType;
        }
        curKind = kind;
    }
}

void CHpglFile::ResetState()
{
    m_charHeight = 0.375;
    m_charWidth = 0.285;
    m_penX = m_penY = 0;
    m_penDown = 0;
    m_labelTerm = 3;
    m_labelTermMode = 1;
    m_labelDir = 0;
    m_labelOrigin = 1;
    std::fill(std::begin(m_label), std::end(m_label), 0);
    m_labelLen = 0;
    ClearRecords();
    m_numbers.clear();
    m_tok = Tok::Between;
    m_pending = 0;
    m_skip = 0;
    m_cmdOpen = false;
    m_result = 0;
    m_labelPoints = 0;
    m_labelOverflow = false;
}

int CHpglFile::ReadPltFile()
{
    try {
        return Read();
    } catch (const std::bad_alloc&) {
        ClearRecords();
        m_numbers.clear();
        m_numbers.shrink_to_fit();
        return kNoMemory;
    }
}

int CHpglFile::Read()
{
    const std::string path = m_fsPath.empty() ? ToUtf8(m_strPath) : m_fsPath;
    // Without blocking: a FIFO would wait for a writer for ever. Anything but
    // a regular file cannot be opened.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 1;
    FdCloser closer(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return 1;
    // Before the size check: a file still being copied in may look too small.
    if (IsFileBusy(fd, m_busyTest)) return 1;
    m_fileTime = st.st_mtim.tv_sec;
    const auto size = static_cast<uint64_t>(st.st_size);
    m_fileSize = size;
    m_labelOverflow = false;
    if (size < kMinFileSize || size > kMaxFileSize) {
        ClearRecords();
        return -2;
    }
    ResetState();
    // The current curve's points grow in the one buffer every curve reuses;
    // the curves' own points, sized exactly, are carved from heap room taken
    // at once for what a file of this size holds (PD commands of short
    // numbers give about 1.2 bytes of points per byte of file).
    const size_t block = std::max<size_t>(1, std::min<size_t>(m_blockSize, size));
    std::unique_ptr<uint8_t[]> buf(new uint8_t[block]);
    const HeapReservation room(static_cast<size_t>(size) * 3 / 2);
    uint64_t left = size;
    bool going = true;
    while (going && left > 0) {
        const ssize_t got = ::read(fd, buf.get(), static_cast<size_t>(std::min<uint64_t>(block, left)));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            // A read error is not the end of the file: half a marker must not
            // pass for the whole one (a data-directory file would be deleted).
            ClearRecords();
            m_numbers.clear();
            return 1;
        }
        if (got == 0) break;  // shorter than it was: read what is there
        left -= static_cast<uint64_t>(got);
        going = Feed(buf.get(), static_cast<size_t>(got)) && !m_labelOverflow;
    }
    if (going) FinishInput();
    m_numbers.clear();
    if (m_labelOverflow) {
        ClearRecords();
        return -2;
    }
    return m_result;
}

void CHpglFile::ToPage(COnePage& page, bool withName)
{
    if (withName) {
        page.m_strFileName = m_strPath;
        page.m_time = m_fileTime;
    }
    // The curves built while reading, then the records after the first page
    // break, which continue the same builder.
    page.m_curves.reserve(page.m_curves.size() + m_built.size());
    for (auto& c : m_built) page.m_curves.push_back(std::move(c));
    m_built.clear();
    CurveBuilder& b = m_build;
    PageBoundsTracker bounds;

    for (const CommandRecord& r : m_records) {
        const std::span<const int32_t> v = Values(r);
        switch (r.type) {
        case recPoints:
            if (v.size() >= 2) {
                for (size_t i = 0; i + 1 < v.size(); i += 2) b.points.push_back(b.At(v[i], v[i + 1]));
            }
            break;
        case recStart:
            if (v.size() >= 2) b.Start(b.At(v[0], v[1]), page.m_curves);
            break;
        case recPage:
            if (!b.points.empty()) b.Flush(page.m_curves);
            if (!page.m_curves.empty()) {
                bounds.Update(page);
                b.offsetX = page.m_maxX;
            }
            b.curKind = b.kind = CurveKind::Plot;
            b.curLineType = b.lineType = 0;
            break;
        case recLineType:
            b.lineType = v.empty() ? 0 : v[0];
            break;
        case recPen:
            b.Pen(v.empty() ? nullptr : v.data(), page.m_curves);
            break;
        default:
            break;
        }
    }
    if (!b.points.empty()) b.Flush(page.m_curves);
}
