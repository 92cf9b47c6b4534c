// Writes the golden files of tests/data/golden from the readers kept here as
// the oracle: run once, before they are removed.
#include <cstdio>
#include <string>
#include <vector>

#include "HpglFixture.h"
#include "OracleDxfImport.h"
#include "OracleDxfReader.h"
#include "OracleHpglFile.h"
#include "import/DxfReader.h"
#include "model/Settings.h"
#include "tests/import/GoldenFile.h"
#include "tests/import/GoldenSummary.h"
#include "tests/import/ImportCases.h"
#include "tests/support/TempFolder.h"

namespace {

struct OldApi {
    using R = oracle::DxfReader;
    static std::unique_ptr<R> Open(const std::u16string& path) { return oracle::DxfOpenReader(path); }
    static int Close(std::unique_ptr<R>& r) { return oracle::DxfCloseReader(r); }
    static bool AtEnd(const R& r) { return oracle::DxfAtEnd(r); }
    static int ReadPair(R& r) { return oracle::DxfReadPair(r); }
    static size_t GetLine(R& r, char* d, size_t c) { return oracle::DxfGetLine(r, d, c); }
    static void SetMark(R& r) { oracle::DxfSetMark(r); }
    static void Rewind(R& r) { oracle::DxfRewind(r); }
    static int SeekGroup(R& r, int c, const char* t) { return oracle::DxfSeekGroup(r, c, t); }
    static int SeekGroupInSection(R& r, int c, const char* t, bool w) { return oracle::DxfSeekGroupInSection(r, c, t, w); }
    static int NextSection(R& r) { return oracle::DxfNextSection(r); }
    static int NextTable(R& r) { return oracle::DxfNextTable(r); }
    static void CloseSection(R& r) { oracle::DxfCloseSection(r); }
    static void PassEndBlock(R& r) { oracle::DxfPassEndBlock(r); }
    static void ProgressStep(R& r) { oracle::DxfProgressStep(r); }
};

bool Write(const char* file, const char* what, const std::vector<golden::Record>& records)
{
    const bool ok = golden::WriteRecords(golden::DataPath(file), golden::Header(what), records);
    std::printf("%s: %zu records%s\n", file, records.size(), ok ? "" : " NOT WRITTEN");
    return ok;
}

}  // namespace

int main()
{
    testsupport::TempFolder dir("orlat_golden_oracle_");
    fixture::InstallFixtureFonts();
    theSettings.Set(Slot::DxfUnit, 40);
    std::vector<golden::Record> hpgl, dxf, reader;
    for (const golden::FileCase& c : golden::HpglCases(dir.path()))
        hpgl.push_back({c.name, golden::HpglSummary<COracleHpglFile>(c.path, size_t{1} << 20, c.detail,
                                                                     [](const COracleHpglFile&, COnePage&, bool) {})});
    for (const golden::FileCase& c : golden::DxfImportCases(dir.path()))
        dxf.push_back({c.name, golden::DxfImportSummary<oracle::CDxfDrawing>(c.path, dir.path() / "labels.plt", c.detail)});
    for (const golden::ReaderCase& c : golden::DxfReaderCases(dir.path(), kDxfReadStretch))
        reader.push_back({c.name, golden::ReaderTrace<oracle::DxfReader, OldApi>(c.path, c.seed, c.pairsOnly)});
    const bool ok = Write("hpgl.golden", golden::kHpglWhat, hpgl) &&
                    Write("dxf_import.golden", golden::kDxfImportWhat, dxf) &&
                    Write("dxf_reader.golden", golden::kDxfReaderWhat, reader);
    return ok ? 0 : 1;
}
