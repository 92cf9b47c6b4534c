#pragma once
// DXF entities: the stored records, the working records the entity readers
// fill, and the readers of the ten entity types the library knows.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "import/DxfReader.h"
#include "import/DxfTables.h"

namespace DxfEntityType {
enum : int16_t {
    None = 0, Line = 1, Point = 2, Circle = 3, Ellipse = 5, Text = 7, Arc = 8,
    Solid = 11, Insert = 14, Polyline = 19, Dimension = 23
};
}

namespace DxfColour {
enum : int16_t { ByBlock = 0, ByLayer = 256 };
}

struct DxfVec3 {
    double x = 0, y = 0, z = 0;
};

struct DxfLine {
    DxfVec3 start, end;  // [10, 20, 30], [11, 21, 31]
};

struct DxfPoint {
    DxfVec3 at;
};

struct DxfCircle {
    DxfVec3 centre;
    double radius = 0;  // [40]
};

struct DxfArc {
    DxfVec3 centre;
    double radius = 0;
    double startAngle = 0;  // [50]
    double endAngle = 0;    // [51]
};

struct DxfText {
    DxfVec3 insert;
    double height = 0;       // [40]
    double rotation = 0;     // [50], degrees
    double widthFactor = 0;  // [41]
    int16_t justification = 0;  // low byte [72], high byte [73]
    DxfVec3 align;              // [11, 21, 31]
    int32_t styleId = 0;        // the STYLE named by [7]
    std::string_view text;      // [1], 2,047 bytes at most; stored in the drawing's arena
};

struct DxfSolid {
    DxfVec3 corners[4];  // [10..13, 20..23, 30..33]
};

struct DxfInsert {
    DxfVec3 insert;
    double scaleX = 1, scaleY = 1, scaleZ = 1;  // [41, 42, 43]
    double rotation = 0;                        // [50]
    int32_t blockId = 0;                        // the block named by [2]
};

struct DxfVertex {
    double x = 0, y = 0, z = 0, bulge = 0;  // [10, 20, 30, 42]
};

struct DxfPolyline {
    std::span<const DxfVertex> vertices;  // last VERTEX of the file first; in the drawing's arena
    int16_t flags = 0;                    // [70], bit 0: closed
};

// A POLYLINE as it is read.
struct DxfPolylineInput {
    std::vector<DxfVertex> vertices;  // last VERTEX of the file first, once read
    int16_t flags = 0;
};

// Read but never stored.
struct DxfEllipse {
    DxfVec3 centre, majorEnd;
    double ratio = 0, startParam = 0, endParam = 0;
};

struct DxfDimension {
    DxfVec3 p13, p14, p10;
    double textRotation = 0;  // [53]
    int32_t blockId = 0;
    int32_t dimStyleId = 0;
};

struct DxfEntityHeader {
    int16_t type = DxfEntityType::None;
    int16_t colour = DxfColour::ByLayer;  // [62]
    int32_t id = 0;
    int32_t layerId = 0;  // 0: no known layer
    int32_t ltypeId = 0;
    double thickness = 0;  // [39]
    double ltScale = 1.0;  // [48]
};

// The common small records are kept in the store's record itself; TEXT,
// SOLID and INSERT (larger, and rare in a marker) in the drawing's arena.
// An INSERT's block id is settled at the end of the load, so it stays writable.
using DxfEntityData =
    std::variant<DxfLine, DxfPoint, DxfCircle, DxfArc, const DxfText*, const DxfSolid*, DxfInsert*, DxfPolyline>;

struct DxfEntity {
    DxfEntityHeader header;
    DxfEntityData data;
};

// One entity store: the ENTITIES section's or a block's. Records never change
// once appended; the cursor is the store's own so walks of different stores nest.
struct DxfStore {
    std::vector<DxfEntity> records;
    size_t cursor = 0;
    int32_t count = 0;  // entities added, DIMENSION included
};

// The common part of the entity being read.
struct DxfEntityInput {
    int16_t type = DxfEntityType::None;
    char layer[kDxfNameSize];  // [8]
    char ltype[kDxfNameSize];  // [6]
    int16_t colour = DxfColour::ByLayer;
    double thickness = 0;
    double ltScale = 1.0;
};

// The type-specific part of the entity being read; one per load, reused so
// that reading needs no heap once warm.
struct DxfEntityRead {
    DxfLine line;
    DxfPoint point;
    DxfCircle circle;
    DxfArc arc;
    DxfEllipse ellipse;
    DxfText text;                  // its text in textBytes
    std::string textBytes;         // TEXT [1]
    char styleName[kDxfNameSize];  // TEXT [7]
    DxfSolid solid;
    DxfInsert insert;
    char blockName[kDxfNameSize];  // INSERT and DIMENSION [2]
    DxfPolylineInput polyline;
    DxfDimension dimension;
    char dimStyleName[kDxfNameSize];  // DIMENSION [3]
    char dimText[kDxfValueSize];      // DIMENSION [1]
};

// The working records of one load's entity reading.
struct DxfEntityWork {
    DxfEntityInput input;
    DxfEntityRead read;
    // The layer named last and its id: entities come in runs of one layer.
    // Only a name found is kept; a layer once in the table keeps its id.
    std::string lastLayer;
    int32_t lastLayerId = 0;
};

void DxfInitEntity(DxfEntityInput& in);

int DxfReadLine(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadPoint(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadCircle(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadArc(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadEllipse(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadText(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadSolid(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadInsert(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadPolyline(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
int DxfReadDimension(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);

// The next entity of the open ENTITIES section or block that the library
// knows: 1 with in.type set, 0 at the end of the section or block.
int DxfReadEntity(DxfReader& r, DxfEntityInput& in, DxfEntityRead& d);
