#pragma once
// HP-GL (.plt) reader: a file becomes the curves of a job page.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "import/FileBusy.h"
#include "import/StrokeFont.h"
#include "model/Curve.h"
#include "model/Page.h"


class CHpglFile {
public:
    CHpglFile();
    virtual ~CHpglFile();
    CHpglFile(const CHpglFile&) = delete;
    CHpglFile& operator=(const CHpglFile&) = delete;

    std::u16string m_strPath;  // set by the caller before ReadPltFile
    // The bytes the file system holds for the name, opened instead of
    // m_strPath's UTF-8 when set (a name that is not UTF-8).
    std::string m_fsPath;
    int64_t m_fileTime = 0;
    // The label file is the program's own and sets None.
    BusyTest m_busyTest = BusyTest::Writers;

    // 0 read, 1 cannot be opened or read (yet), -2 size outside 6..8,000,000 (or
    // labels beyond m_maxLabelPoints), -3 number after DF, -4 not enough memory
    // (no records kept).
    int ReadPltFile();
    static constexpr int kNoMemory = -4;
    // Why the last read gave -2: its size was outside the bounds, or (within
    // them) its labels would have drawn too many points.
    uint64_t FileSize() const { return m_fileSize; }
    bool LabelsTooLarge() const { return m_labelOverflow; }
    // Appends the curves; withName also sets the page's file name and time.
    // Converts once: the curves built while reading move into the page. Every
    // curve it appends has its bounds computed.
    void ToPage(COnePage& page, bool withName);
    // Set by an importer whose clean-up removes repeated points anyway: each
    // curve keeps one of every run of equal points from the start (a file
    // that repeats every path's first point then needs half the memory). The
    // bounds and the page breaks' offsets stay as they were.
    bool m_dropRepeatedPoints = false;
    // The bounds and extents of the curves the one ToPage appended, gathered
    // as they were made.
    const PageBoundsFold& CurveBounds() const { return m_build.fold; }

    // ---- Records, pen and label state ------------------------------------
    enum : int32_t { recPoints = 20, recStart = 21, recPage = 22, recLineType = 23, recPen = 24 };
    // One record of the flat pool: its values are m_values[first .. first+count).
    struct CommandRecord {
        int32_t type = 0;
        uint32_t first = 0;
        uint32_t count = 0;
    };
    // The curves are built while reading, and records are kept only from the
    // first page break on (where a later page starts depends on the page
    // ToPage is given). Tests set m_keepRecords to see the whole file's.
    bool m_keepRecords = false;
    const std::vector<CommandRecord>& Records() const { return m_records; }
    std::span<const int32_t> Values(const CommandRecord& r) const
    {
        return {m_values.data() + r.first, r.count};
    }
    void ClearRecords();

private:
    int Read();

public:

    static constexpr size_t kMinFileSize = 6;
    static constexpr size_t kMaxFileSize = 8000000;
    static constexpr size_t kLabelSize = 512;  // including the closing NUL
    // Points the label strokes of one read may add: about ten times what the
    // labels of a real marker draw. An 8,000,000-byte file of dense labels
    // would otherwise ask for gigabytes; such a file is refused as too big (-2).
    // Tests lower it.
    size_t m_maxLabelPoints = 8000000;
    // Bytes per read; tests shrink it to put numbers across block ends. Small
    // enough to stay in the cache between the copy and the tokeniser.
    size_t m_blockSize = size_t{64} << 10;

    int32_t m_penX = 0, m_penY = 0;
    uint8_t m_labelTerm = 3;
    uint8_t m_labelTermMode = 1;
    char m_label[kLabelSize] = {};
    int32_t m_labelLen = 0;
    int32_t m_penDown = 0;
    double m_labelDir = 0;
    double m_charHeight = 0.375;
    double m_charWidth = 0.285;
    int32_t m_labelOrigin = 1;

    // ---- Stroke-font label renderer (LabelText.cpp) -----------------------
    CStrokeFont m_enFont;  // single-byte glyphs, "fon_en.bin"
    CStrokeFont m_hzFont;  // double-byte glyphs, "fon_hz.bin"
    void LoadHzFont();
    void LoadEnFont();
    // Shifts a segment start by the label origin code; n is its length in bytes.
    void PlaceLabelOrigin(double& x, double& y, int n) const;
    void DrawLabelText(int32_t x0, int32_t y0, const uint8_t* bytes, int n);
    void DecodeGlyphStrokes(int32_t x0, int32_t y0, std::span<const uint8_t> code, int64_t gx, int64_t gy,
                            int64_t unit, double k, double cosT, double sinT);
    PlotPoint TransformGlyphPoint(int32_t x0, int32_t y0, int64_t gx, int64_t gy, double k, double cosT,
                                  double sinT) const;
    void GlyphMoveTo(PlotPoint p);
    void GlyphLineTo(PlotPoint p);
    void EmitPoint(PlotPoint p, int flag);
    // Draws m_label as LB does (segments split at CR and LF).
    void DrawLabel();

private:
    // Record events: into the curve builder while reading, or as records.
    void EmitStart(int32_t x, int32_t y);
    void EmitPathPoint(int32_t x, int32_t y);
    void EmitPage();
    void EmitLineType(const int32_t* v);
    void EmitPen(const int32_t* v);

    // The curves of the records, as ToPage makes them; the reading drives it
    // up to the first page break, ToPage over the records after it.
    struct CurveBuilder {
        std::vector<PlotPoint> points;  // the current curve's, copied out at its end
        int32_t curKind = CurveKind::Plot, curLineType = 0;
        int32_t kind = CurveKind::Plot, lineType = 0;
        int64_t offsetX = 0;
        PageBoundsFold fold;  // over every curve flushed
        bool dropRepeats = false;
        void Flush(std::vector<std::unique_ptr<CCurve>>& out);
        void Start(PlotPoint p, std::vector<std::unique_ptr<CCurve>>& out);
        void Pen(const int32_t* v, std::vector<std::unique_ptr<CCurve>>& out);
        PlotPoint At(int32_t x, int32_t y) const;
    };

    void ResetState();
    void SetLabelDefaults();
    void ExecuteCommand(char a, char b);
    // Runs the open command and closes it.
    void CloseCommand();
    void AddRecord(int32_t type);
    void AddValue(int32_t v);
    void RecordPairs(size_t pairs);

    // Tokeniser (HpglTokenizer.cpp): fed block by block, so a number or a
    // label terminator may straddle blocks.
    enum class Tok : uint8_t {
        Between,      // between commands
        Skip,         // skipping the bytes after ESC
        NoParams,     // in DF
        Numbers,      // in a number command, no run in progress
        Run,          // inside a run of number characters
        Exp,          // run ended at E/e: waiting for sign or digit
        ExpSign,      // E then sign: waiting for a digit
        ExpDigits,    // in the exponent digits
        Label,        // in LB text
        LabelTerm,    // terminator seen
        LabelTermL,   // terminator and "L" seen
        DtFirst,      // DT: waiting for the terminator byte
        DtAfterTerm,  // DT: waiting for "," or anything else
        DtMode,       // DT: waiting for the mode digit
    };
    // Returns false when the read must stop (-3 already stored in m_result).
    bool Feed(const uint8_t* p, size_t n);
    void FinishInput();
    bool Step(uint8_t c);
    bool BetweenByte(uint8_t c);
    void StartMnemonic(char second);
    void EndRun();
    void EndNumberCommand(uint8_t c);
    void AppendLabelByte(uint8_t c);
    void FinishLabel(bool withTerm);

    CurveBuilder m_build;
    std::vector<std::unique_ptr<CCurve>> m_built;  // curves before the first page break
    bool m_recording = false;  // records kept from here on
    size_t m_eventCount = 0;   // records made, kept or built
    std::vector<CommandRecord> m_records;
    std::vector<int32_t> m_values;
    std::vector<double> m_numbers;  // numbers of the command being read

    Tok m_tok = Tok::Between;
    char m_pending = 0;             // first letter of a mnemonic, 0 when none
    char m_cmd[2] = {0, 0};         // mnemonic being read
    int m_skip = 0;                 // bytes still to skip after ESC
    bool m_cmdOpen = false;         // mnemonic complete and not yet ended
    static constexpr size_t kRunKeep = 64;
    char m_run[kRunKeep] = {};      // first characters of the number run
    size_t m_runLen = 0;            // characters kept
    bool m_runCut = false;          // characters were dropped
    // The run as an integer while it is one (an optional sign, then at most
    // 15 digits): its value is then exact without the general conversion.
    uint64_t m_runInt = 0;
    int m_runDigits = 0;
    bool m_runNeg = false;
    bool m_runPlain = false;
    void BeginRun(uint8_t c);
    void RunByte(uint8_t c);
    void RunBytes(const uint8_t* s, size_t k);
    bool m_expNeg = false;
    int32_t m_expValue = 0;
    int m_result = 0;

    // Label renderer state.
    int32_t m_glyphPenX = 0, m_glyphPenY = 0;
    int32_t m_lastX = 0, m_lastY = 0;
    bool m_lastValid = false;  // false after a move: the next stroke opens a path
    bool m_fontsLoaded = false;
    size_t m_labelPoints = 0;      // points emitted by label strokes in this read
    bool m_labelOverflow = false;  // m_maxLabelPoints reached: the read fails with -2
    uint64_t m_fileSize = 0;       // of the file last opened
};
