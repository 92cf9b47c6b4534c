#pragma once
// The inputs of the readers' golden files: the committed files and the fuzz
// corpus, hand-written files at the readers' edges, and files generated from
// fixed seeds. Each case has the name its record carries.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tests/import/GoldenSummary.h"

namespace golden {

struct FileCase {
    std::string name;
    std::string path;
    bool detail = false;  // the points themselves in the record, where there are few
};

inline std::string DataPath(std::string_view file) { return std::string(ORLAT_TEST_DATA "/golden/") + std::string(file); }

// The committed files of a kind: tests/data/<kind> and tests/fuzz/corpus/<kind>,
// by name.
inline std::vector<FileCase> CommittedFiles(std::string_view kind, std::string_view ext)
{
    std::vector<FileCase> out;
    const std::filesystem::path data(ORLAT_TEST_DATA);
    for (const auto& [label, dir] : {std::pair{"data/", data / std::string(kind)},
                                     std::pair{"corpus/", data / ".." / "fuzz" / "corpus" / std::string(kind)}}) {
        std::vector<FileCase> here;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().extension() == ext)
                here.push_back({label + std::string(kind) + "/" + e.path().filename().string(), e.path().string(), true});
        std::sort(here.begin(), here.end(), [](const FileCase& a, const FileCase& b) { return a.name < b.name; });
        out.insert(out.end(), here.begin(), here.end());
    }
    return out;
}

inline std::string WriteFile(const std::filesystem::path& dir, const std::string& name, std::string_view bytes)
{
    const std::filesystem::path p = dir / name;
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p.string();
}

// What each golden file holds and how it was made, at its head.
inline std::vector<std::string> Header(std::string_view what)
{
    std::vector<std::string> h;
    std::string line;
    for (const char c : what) {
        if (c == '\n') {
            h.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) h.push_back(line);
    for (const char* l :
         {"", "Written once from the readers these replaced, by tests/import/support/golden_from_oracle.cpp",
          "(in the commit that added this file; both went in the next one). After a deliberate change of",
          "what a reader gives, write the files anew from the present readers:",
          "ORLAT_GOLDEN_WRITE=1 build/test/tests/test_import --gtest_filter='*Golden*'"})
        h.push_back(l);
    return h;
}

inline const char* const kHpglWhat =
    "What the HP-GL reader gives on the committed plots, the fuzz corpus and the edge and generated\n"
    "files of tests/import/ImportCases.h, read into an empty page and into one that holds a curve far\n"
    "to the right (\"prefilled\", where page breaks start beyond it): the result code, then the curves,\n"
    "points, kinds and line types (value:count), the bounds of the points and a hash of the page\n"
    "(tests/import/GoldenSummary.h), with the curves themselves where there are few points.";

inline const char* const kDxfImportWhat =
    "What the DXF import gives on the committed drawings, the fuzz corpus and the edge and generated\n"
    "drawings of tests/import/ImportCases.h: the load's result, the drawing (entity and block counts,\n"
    "the id counter, the load error and a hash of every stored entity with its ids), the conversion's\n"
    "result, the page (as in hpgl.golden) and the label file's length and hash (its text where shown).";

inline const char* const kDxfReaderWhat =
    "What the DXF reader gives on the committed drawings, the fuzz corpus and the line-end and\n"
    "stretch-edge files of tests/import/ImportCases.h, read through a seeded script of its operations\n"
    "(or pairs only): its state at open, the steps taken and a hash of its state (position, mark, size,\n"
    "window, section, table, block, pair and progress) after every one, its state at the end and the\n"
    "close's result.";

// ---- HP-GL ----------------------------------------------------------------

// Each file as written (six blanks make it long enough to be read).
inline const std::vector<std::string>& HpglEdges()
{
    static const std::vector<std::string> cases = {
        // Pens up and down, repeated moves, pens and line types that start curves.
        "IN;SP1;PU100,200;PD300,200,300,400;",
        "PU0,0;PD100,0;PD100,100;PU0,0;PD100,0;PU200,0;PD300,0;",
        "SP2;PD10,10,20,20;SP1;PD30,30;SP;PD40,40;SP0;PD50,50;",
        "LT1;PD0,0,10,10;PU;PD20,20;LT;PD30,30;LT0;PU5,5;PD6,6;",
        // Page breaks, several in a row, and a page that starts with a pen.
        "PD1,1,500,500;PG;PD10,10,20,20;FR;PD1,2;PG;PG;PD-5,-5;",
        "PG;SP2;LT1;PD1,1;",
        "DF;PD1,1;DF;IN;PD2,2;",
        // Lower case, commands without separators.
        "pd10,10;P1PD10,20PU30,40PD50,60",
        // Numbers: exponents, signs, leading zeros, runs that are no number,
        // beyond 64 bits and the int32 range, and past double.
        "PU0,1E3;PD1.5,2.5,-3.5,-0.5,1e2,2E-1;PD+7,-0;PD00000000000000001,2;",
        "PD1-2,3..4,--5,+-6,.5,-.5,1.e1;",
        "PD1234567890123456,1;PD99999999999999999999,5;PD1e400,1e-400;",
        "PD2147483647.6,-2147483648.6;PG;PD2000000000,0;",
        // Escape sequences.
        "\x1b%-1BIN;PD1,1;\x1b.@;PD2,2;",
        // Labels (the fixture fonts draw A, I and one GBK character):
        // terminators, DT, sizes, directions, origins, line breaks, labels on
        // cut pens and after page breaks, glyphs the fonts lack.
        "LBAB\x03LBIA\x03PD5,5;",
        "DT*,0;LBAI*PD1,1;DT*;LBIA*;DT;LBA\x03",
        "SI0.5,0.8;DI0,1;LO5;LBAI\r\nIA\x03" "DR1,0;LO19;LBA\x03SI;DI;LO3;LBA\rI\nA\x03",
        "SP2;PD1,1;LBAI\x03SP1;LBIA\x03PG;LBA\x03",
        "LB\xb0\xa1" "A\xb0\x03LBxyz\x03LO2;LB\xb0\xa1\x03",
        // Absolute moves with pens in the same command, odd counts.
        "PA10,20;PD;PA30,40,50,60;PU;PA70,80;PD90",
        "PD1,1,2,2,3",
        // A number after DF, and a file that ends inside a label.
        "DF5;",
        "PD1,1;LBAI",
    };
    return cases;
}

// Random commands of the reader's grammar and beside it.
inline std::string RandomHpgl(std::mt19937& rng)
{
    static const char* mnemonics[] = {"PD", "PU", "PA", "SP", "LT", "PG", "FR", "IN", "DF", "DI", "DR",
                                      "SI", "LO", "LB", "DT", "CI", "pd", "pu", "XX"};
    static const char* numbers[] = {"0", "1", "-1", "12", "400", "1.5", "-2.5", "1e2", "3E-1", "+4", ".5",
                                    "1-2", "99999", "2147483648", "-0", "7."};
    auto pick = [&rng] { return static_cast<int>(rng() % 100); };
    std::string s = "IN;";
    const int commands = 1 + pick() * 3;
    for (int i = 0; i < commands; ++i) {
        const char* m = mnemonics[pick() % std::size(mnemonics)];
        s += m;
        if (m[0] == 'L' && m[1] == 'B') {
            s += "AB";
            if (pick() < 20) s += "\r\nC";
            s += pick() < 80 ? "\x03" : "*";
            continue;
        }
        if (m[0] == 'D' && m[1] == 'T') {
            s += pick() < 50 ? "*" : "*,0";
        } else if (!(m[0] == 'D' && m[1] == 'F')) {
            const int k = pick() % 7;
            for (int j = 0; j < k; ++j) {
                if (j) s += pick() < 90 ? "," : " ";
                s += numbers[pick() % std::size(numbers)];
            }
        }
        const int end = pick();
        if (end < 70) s += ';';
        else if (end < 75) s += "\x1b.@;";
        else if (end < 80) s += "\r\n";
    }
    return s;
}

constexpr int kHpglGenerated = 300;

// Every HP-GL case; the edge and generated files are written into dir.
inline std::vector<FileCase> HpglCases(const std::filesystem::path& dir)
{
    std::vector<FileCase> out = CommittedFiles("hpgl", ".plt");
    int n = 0;
    for (const std::string& text : HpglEdges())
        out.push_back({"edge " + Escape(text), WriteFile(dir, "edge" + std::to_string(n++) + ".plt", text + "      "),
                       true});
    std::mt19937 rng(17);
    for (int i = 0; i < kHpglGenerated; ++i)
        out.push_back({"generated " + std::to_string(i),
                       WriteFile(dir, "gen" + std::to_string(i) + ".plt", RandomHpgl(rng)), false});
    return out;
}

// ---- DXF ------------------------------------------------------------------

inline std::string Pair(int code, std::string_view value)
{
    return std::to_string(code) + "\r\n" + std::string(value) + "\r\n";
}

using dxfdump::Num;

// The tables every edge drawing has: the CONTINUOUS linetype, layer 0 and
// layer OFF (switched off), the STANDARD style.
inline std::string EdgeTables()
{
    return Pair(0, "SECTION") + Pair(2, "TABLES") + Pair(0, "TABLE") + Pair(2, "LTYPE") + Pair(0, "LTYPE") +
           Pair(2, "CONTINUOUS") + Pair(70, "0") + Pair(0, "ENDTAB") + Pair(0, "TABLE") + Pair(2, "LAYER") +
           Pair(0, "LAYER") + Pair(2, "0") + Pair(70, "0") + Pair(62, "7") + Pair(6, "CONTINUOUS") + Pair(0, "LAYER") +
           Pair(2, "OFF") + Pair(70, "0") + Pair(62, "-3") + Pair(6, "CONTINUOUS") + Pair(0, "ENDTAB") +
           Pair(0, "TABLE") + Pair(2, "STYLE") + Pair(0, "STYLE") + Pair(2, "STANDARD") + Pair(0, "ENDTAB") +
           Pair(0, "ENDSEC");
}

inline std::string Sect(std::string_view name, const std::string& body)
{
    return Pair(0, "SECTION") + Pair(2, name) + body + Pair(0, "ENDSEC");
}

inline std::string Line(double x0, double y0, double x1, double y1, std::string_view layer = "0")
{
    return Pair(0, "LINE") + Pair(8, layer) + Pair(10, Num(x0)) + Pair(20, Num(y0)) + Pair(11, Num(x1)) +
           Pair(21, Num(y1));
}

inline std::string Block(std::string_view name, const std::string& body)
{
    return Pair(0, "BLOCK") + Pair(2, name) + Pair(8, "0") + Pair(70, "0") + Pair(10, "0") + Pair(20, "0") + body +
           Pair(0, "ENDBLK");
}

inline std::string Insert(std::string_view name, double x = 0, double y = 0)
{
    return Pair(0, "INSERT") + Pair(8, "0") + Pair(2, name) + Pair(10, Num(x)) + Pair(20, Num(y));
}

inline std::string Text(std::string_view text, std::string_view more = "")
{
    return Pair(0, "TEXT") + Pair(8, "0") + Pair(10, "12.7") + Pair(20, "-3.9") + Pair(40, "2.5") + std::string(more) +
           Pair(1, text) + Pair(7, "STANDARD");
}

inline std::string Drawing(const std::string& blocks, const std::string& entities)
{
    return EdgeTables() + Sect("BLOCKS", blocks) + Sect("ENTITIES", entities) + Pair(0, "EOF");
}

struct TextCase {
    std::string name;
    std::string bytes;
};

// Drawings at the edges of blocks, layers, numbers, texts and polylines.
inline std::vector<TextCase> DxfEdges()
{
    using std::string;
    return {
        {"insert before its block",
         EdgeTables() + Sect("ENTITIES", Insert("LATE") + Line(0, 0, 1, 1)) +
             Sect("BLOCKS", Block("LATE", Line(5, 5, 6, 7))) + Pair(0, "EOF")},
        {"a block inserted from a block defined after it",
         Drawing(Block("OUTER", Insert("INNER") + Line(1, 0, 2, 0)) + Block("INNER", Line(3, 0, 4, 0)),
                 Insert("OUTER"))},
        {"shared block names, more inserts than blocks",
         Drawing(Block("P", Line(0, 0, 10, 0)) + Block("P", Line(0, 0, 0, 20)) + Block("P", Line(0, 0, 30, 30)),
                 Insert("P") + Insert("P") + Insert("P") + Insert("P"))},
        {"blocks never defined and blocks inserting themselves",
         Drawing(Block("SELF", Line(0, 0, 1, 0) + Insert("SELF")) + Block("A", Insert("B")) +
                     Block("B", Insert("A") + Line(2, 2, 3, 3)),
                 Insert("NOWHERE") + Insert("SELF") + Insert("A"))},
        {"entities on a layer that is off",
         Drawing("", Line(0, 0, 1, 1, "OFF") + Pair(0, "LINE") + Pair(8, "OFF") + Pair(62, "5") + Pair(10, "2") +
                         Pair(20, "2") + Pair(11, "3") + Pair(21, "3") + Pair(0, "LINE") + Pair(8, "OFF") +
                         Pair(62, "256") + Pair(10, "4") + Pair(20, "4") + Pair(11, "5") + Pair(21, "5") +
                         Pair(0, "TEXT") + Pair(8, "OFF") + Pair(62, "5") + Pair(10, "1") + Pair(20, "1") +
                         Pair(40, "1") + Pair(1, "SHOWN"))},
        {"numbers beyond double, not numbers, cut by NUL",
         Drawing("", Pair(0, "LINE") + Pair(10, "1e400") + Pair(20, "nan") + Pair(11, "3,5") + Pair(21, "12abc") +
                         Pair(0, "LINE") + Pair(10, "  7.25") + Pair(20, "-0") + Pair(11, string("12\0" "5", 4)) +
                         Pair(21, string("\0" "9", 2)) + Pair(0, "LINE") + Pair(10, "-1e-400") + Pair(20, "") +
                         Pair(11, "1E3") + Pair(21, "+.5") + Pair(0, "LINE") + Pair(10, "1") + Pair(10, "2") +
                         Pair(20, "3") + Pair(11, "4"))},
        {"texts long, with NUL and control bytes, turned",
         Drawing("", Text(string("PIE\0CE", 6)) + Text("A\x01" "B\x7f" "C\x03;PD9,9;") + Text("TURNED", Pair(50, "90")) +
                         Text("NAN", Pair(50, "nan")) + Text("\xb2\xe2\xca\xd4") + Text(string(2100, 'T')))},
        {"polylines closed, open, without vertices or coordinates",
         Drawing("", Pair(0, "POLYLINE") + Pair(8, "0") + Pair(70, "1") + Pair(0, "VERTEX") + Pair(10, "0") +
                         Pair(20, "0") + Pair(0, "VERTEX") + Pair(10, "10") + Pair(20, "0") + Pair(42, "1") +
                         Pair(0, "VERTEX") + Pair(10, "10") + Pair(20, "10") + Pair(0, "SEQEND") +
                         Pair(0, "POLYLINE") + Pair(70, "0") + Pair(0, "VERTEX") + Pair(10, "5") + Pair(0, "VERTEX") +
                         Pair(20, "6") + Pair(0, "SEQEND") + Pair(0, "POLYLINE") + Pair(70, "1") + Pair(0, "SEQEND"))},
        {"circles below the fewest and beyond the most segments",
         Drawing("", Pair(0, "CIRCLE") + Pair(10, "1") + Pair(20, "1") + Pair(40, "0.1") + Pair(0, "CIRCLE") +
                         Pair(10, "0") + Pair(20, "0") + Pair(40, "1e6") + Pair(0, "CIRCLE") + Pair(10, "0") +
                         Pair(20, "0") + Pair(40, "-2"))},
        {"sections left open and an entity after EOF",
         EdgeTables() + Pair(0, "SECTION") + Pair(2, "ENTITIES") + Line(0, 0, 1, 2) + Pair(0, "SECTION") +
             Pair(2, "ENTITIES") + Line(3, 4, 5, 6) + Pair(0, "EOF") + Line(7, 8, 9, 9)},
    };
}

// Drawings of every entity kind, with blocks inserted before and after their
// definition, names shared by several blocks, layers that are off, groups
// missing or repeated, long texts and the odd hostile value.
inline std::string RandomDxf(std::mt19937& rng)
{
    std::string s;
    auto pair = [&s](int code, const std::string& value) { s += Pair(code, value); };
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto num = [&]() {
        static const std::string odd[] = {"1e400", "-1e-400", "nan", "  7.25", "3,5", "", "-0", "12abc",
                                          std::string("12\0" "5", 4), std::string("\0" "9", 2)};
        if (pick(30) == 0) return odd[pick(10)];
        return Num((pick(20001) - 10000) / 8.0);
    };
    const int layers = 1 + pick(5), blocks = pick(6);
    // The last one is not in the table; a NUL ends a name where a copy would.
    auto layer = [&]() { return "L" + std::to_string(pick(layers + 1)) + (pick(20) ? "" : std::string("\0x", 2)); };
    auto block = [&]() { return "B" + std::to_string(pick(blocks + 2)); };  // some never defined
    auto entity = [&](bool inBlock) {
        const int kind = pick(12);
        static const char* names[] = {"LINE", "POINT", "CIRCLE", "ARC", "TEXT", "SOLID",
                                      "INSERT", "POLYLINE", "DIMENSION", "ELLIPSE", "SPLINE", "LINE"};
        pair(0, names[kind]);
        if (pick(3)) pair(8, layer());
        if (pick(4) == 0) pair(62, std::to_string(pick(300) - 20));
        if (pick(6) == 0) pair(39, num());
        if (pick(6) == 0) pair(48, num());
        if (pick(8) == 0) pair(6, "CONTINUOUS");
        const int groups = pick(12);
        static const int codes[] = {10, 20, 30, 11, 21, 31, 12, 22, 13, 23, 40, 41, 42, 43, 50, 51, 53, 70, 72, 73};
        for (int g = 0; g < groups; ++g) pair(codes[pick(20)], num());
        if (kind == 4) {
            pair(1, pick(5) == 0   ? std::string(2000 + pick(100), 'T')
                    : pick(9) == 0 ? std::string("PIE\0CE", 6)
                                   : "PIECE " + std::to_string(pick(1000)));
            if (pick(2)) pair(7, pick(2) ? "STANDARD" : "NONE");
        }
        if (kind == 6 || kind == 8) pair(2, inBlock && pick(2) ? "B" + std::to_string(pick(blocks + 1)) : block());
        if (kind == 7) {
            pair(70, std::to_string(pick(4)));
            for (int v = pick(15); v > 0; --v) {
                pair(0, "VERTEX");
                if (pick(5)) pair(10, num());
                if (pick(5)) pair(20, num());
                if (pick(9) == 0) pair(42, num());
            }
            pair(0, "SEQEND");
        }
    };
    pair(0, "SECTION"); pair(2, "TABLES");
    pair(0, "TABLE"); pair(2, "LTYPE"); pair(0, "LTYPE"); pair(2, "CONTINUOUS"); pair(70, "0"); pair(0, "ENDTAB");
    pair(0, "TABLE"); pair(2, "LAYER");
    for (int i = 0; i < layers; ++i) {
        pair(0, "LAYER"); pair(2, "L" + std::to_string(i)); pair(70, "0");
        pair(62, std::to_string(pick(3) == 0 ? -3 : 5)); pair(6, "CONTINUOUS");
    }
    pair(0, "ENDTAB");
    pair(0, "TABLE"); pair(2, "STYLE"); pair(0, "STYLE"); pair(2, "STANDARD"); pair(0, "ENDTAB");
    pair(0, "ENDSEC");
    pair(0, "SECTION"); pair(2, "BLOCKS");
    for (int b = 0; b < blocks; ++b) {
        pair(0, "BLOCK"); pair(2, "B" + std::to_string(pick(3) == 0 ? 0 : b)); pair(8, layer());
        pair(10, num()); pair(20, num());
        for (int e = pick(6); e > 0; --e) entity(true);
        pair(0, "ENDBLK");
    }
    pair(0, "ENDSEC");
    pair(0, "SECTION"); pair(2, "ENTITIES");
    for (int e = 5 + pick(200); e > 0; --e) entity(false);
    pair(0, "ENDSEC"); pair(0, "EOF");
    return s;
}

constexpr int kDxfGenerated = 150;

// Every DXF import case; the edge and generated drawings are written into dir.
inline std::vector<FileCase> DxfImportCases(const std::filesystem::path& dir)
{
    std::vector<FileCase> out = CommittedFiles("dxf", ".dxf");
    int n = 0;
    for (const TextCase& c : DxfEdges())
        out.push_back({"edge " + c.name, WriteFile(dir, "edge" + std::to_string(n++) + ".dxf", c.bytes), true});
    std::mt19937 rng(2103);
    for (int i = 0; i < kDxfGenerated; ++i)
        out.push_back({"generated " + std::to_string(i), WriteFile(dir, "gen" + std::to_string(i) + ".dxf", RandomDxf(rng)),
                       false});
    return out;
}

// ---- The DXF reader ---------------------------------------------------------

// A file read through a script of the reader's operations from a seed, or
// pairs only from start to end.
struct ReaderCase {
    std::string name;
    std::string path;
    unsigned seed = 0;
    bool pairsOnly = false;
};

// Pairs with every kind of line end, long codes and values, blanks and the
// structure words, beyond several windows.
inline std::string LineEndFile(int i, std::mt19937& rng)
{
    static const char* ends[] = {"\r\n", "\r", "\n", "\r\r\n", "\n\r"};
    static const char* values[] = {"SECTION", "ENTITIES", "TABLES", "TABLE", "LAYER", "ENDTAB", "ENDSEC", "LINE",
                                   "ENDBLK", "BLOCK", "EOF", "SECTION ", "1.5", ""};
    std::string s;
    const size_t target = 1000 + rng() % 150000;
    while (s.size() < target) {
        const int kind = static_cast<int>(rng() % 20);
        std::string code = kind == 0 ? std::string(40, ' ') + "0" : kind == 1 ? "  -7" : kind < 12 ? "0" : "10";
        std::string value = values[rng() % std::size(values)];
        if (kind == 2) value = std::string(3000 + rng() % 40000, 'v');
        const char* end = ends[(i % 3 == 0) ? rng() % std::size(ends) : 0];
        s += code + end + value + end;
    }
    if (i % 2) s.resize(s.size() - 1);  // ends inside a line end
    return s;
}

// Files larger than the stretch the reader holds (edge bytes): line ends on
// either side of its edge, a CR LF split by it, lines longer than a stretch.
inline std::string StretchFile(int i, size_t edge, std::mt19937& rng)
{
    std::string s;
    // Short pairs up to a few bytes before the edge, then one line end
    // placed across it (CR before, LF after), at it, or just after it.
    while (s.size() + 1100 < edge) s += "0\r\n" + std::string(1000, 'v') + "\r\n";
    while (s.size() + 40 < edge) s += (rng() % 4 ? "0\r\nLINE\r\n" : "10\r\n1.5\r\n");
    s += "0\r\n";
    const size_t shift = static_cast<size_t>(i % 4);  // 0: CR last byte of the stretch
    s += std::string(edge - 1 - s.size() + shift, 'x') + "\r\n";
    // Longer than a stretch, in one line.
    if (i >= 4) s += "1\r\n" + std::string(edge + 100 + rng() % 5000, 'y') + (i % 2 ? "\r\n" : "\r");
    while (s.size() < 2 * edge + 5000)
        s += (rng() % 50 == 0 ? "2\r\n" + std::string(rng() % 200000, 'z') + "\r\n" : "0\r\nSECTION\r\n");
    s += "0\r\nEOF";
    return s;
}

// edge: the stretch the reader reads at a time.
inline std::vector<ReaderCase> DxfReaderCases(const std::filesystem::path& dir, size_t edge)
{
    std::vector<ReaderCase> out;
    for (const FileCase& f : CommittedFiles("dxf", ".dxf"))
        for (unsigned seed : {1u, 2u, 3u}) out.push_back({f.name + " seed " + std::to_string(seed), f.path, seed});
    std::mt19937 rng(103);
    for (int i = 0; i < 12; ++i)
        out.push_back({"line ends " + std::to_string(i),
                       WriteFile(dir, "ends" + std::to_string(i) + ".dxf", LineEndFile(i, rng)),
                       static_cast<unsigned>(i)});
    std::mt19937 big(1030);
    for (int i = 0; i < 8; ++i) {
        const std::string path = WriteFile(dir, "big" + std::to_string(i) + ".dxf", StretchFile(i, edge, big));
        out.push_back({"stretch edge " + std::to_string(i) + " pairs", path, static_cast<unsigned>(i), true});
        out.push_back({"stretch edge " + std::to_string(i), path, static_cast<unsigned>(i)});
    }
    return out;
}

}  // namespace golden
