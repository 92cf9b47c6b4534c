#include "OracleHpglFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

#include "import/FileBusy.h"
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

COracleHpglFile::COracleHpglFile() = default;

COracleHpglFile::~COracleHpglFile() { ClearRecords(); }

void COracleHpglFile::ClearRecords()
{
    m_records.clear();
    m_values.clear();
}

void COracleHpglFile::AddRecord(int32_t type)
{
    CommandRecord r;
    r.type = type;
    r.first = static_cast<uint32_t>(m_values.size());
    m_records.push_back(r);
}

void COracleHpglFile::AddValue(int32_t v)
{
    m_values.push_back(v);
    ++m_records.back().count;
}

void COracleHpglFile::ResetState()
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
    // Loaded once per reader: a reader reads one file, and the fonts do not
    // change under it.
    if (!m_fontsLoaded) {
        LoadHzFont();
        LoadEnFont();
        m_fontsLoaded = true;
    }
}

int COracleHpglFile::ReadPltFile()
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

int COracleHpglFile::Read()
{
    const std::string path = ToUtf8(m_strPath);
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
    if (size < kMinFileSize || size > kMaxFileSize) {
        ClearRecords();
        return -2;
    }
    ResetState();
    // Room for what a marker of this size can give ("PD1,1;" is two records
    // and two values in six bytes), so the pool never moves while it fills;
    // pages not reached are never touched.
    m_records.reserve(size / 3);
    m_values.reserve(size / 2);

    const size_t block = std::max<size_t>(1, std::min<size_t>(m_blockSize, size));
    std::unique_ptr<uint8_t[]> buf(new uint8_t[block]);
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

void COracleHpglFile::ToPage(COnePage& page, bool withName)
{
    if (withName) {
        page.m_strFileName = m_strPath;
        page.m_time = m_fileTime;
    }
    auto fresh = [](int32_t kind, int32_t lineType) {
        auto c = std::make_unique<CCurve>();
        c->m_kind = kind;
        c->m_lineType = lineType;
        return c;
    };
    std::unique_ptr<CCurve> cur = fresh(CurveKind::Plot, 0);
    int32_t kind = CurveKind::Plot;
    int32_t lineType = 0;
    int64_t offsetX = 0;
    PageBoundsTracker bounds;

    for (const CommandRecord& r : m_records) {
        const std::span<const int32_t> v = Values(r);
        switch (r.type) {
        case recPoints:
            if (v.size() >= 2) {
                for (size_t i = 0; i + 1 < v.size(); i += 2)
                    cur->m_points.push_back({SaturateToInt(v[i] + offsetX), v[i + 1]});
            }
            break;
        case recStart:
            if (v.size() >= 2) {
                const PlotPoint p{SaturateToInt(v[0] + offsetX), v[1]};
                if (!cur->m_points.empty() && (!(p == cur->m_points.back()) || cur->m_kind != kind)) {
                    page.m_curves.push_back(std::move(cur));
                    cur = fresh(kind, lineType);
                }
                cur->m_points.push_back(p);
            }
            break;
        case recPage:
            if (!cur->m_points.empty()) page.m_curves.push_back(std::move(cur));
            if (!page.m_curves.empty()) {
                bounds.Update(page);
                offsetX = page.m_maxX;
            }
            cur = fresh(CurveKind::Plot, 0);
            kind = CurveKind::Plot;
            lineType = 0;
            break;
        case recLineType:
            lineType = v.empty() ? 0 : v[0];
            break;
        case recPen:
            kind = (v.empty() || v[0] <= 1) ? CurveKind::Plot : CurveKind::Cut;
            if (kind != cur->m_kind) {
                if (!cur->m_points.empty()) {
                    page.m_curves.push_back(std::move(cur));
                    cur = fresh(kind, lineType);
                }
                cur->m_kind = kind;
            }
            break;
        default:
            break;
        }
    }
    if (!cur->m_points.empty()) page.m_curves.push_back(std::move(cur));
}
