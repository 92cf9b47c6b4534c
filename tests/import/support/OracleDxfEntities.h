#pragma once
// Kept unchanged (in namespace oracle) from before the compact entity store:
// the drawing and page the present import must give, in tests and fuzzing.
// DXF entities: the stored records, the working records the entity readers
// fill, and the readers of the ten entity types the library knows.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "OracleDxfReader.h"
#include "OracleDxfTables.h"

namespace oracle {

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
    std::string text;           // [1], 2,047 bytes at most
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
    std::vector<DxfVertex> vertices;  // last VERTEX of the file first
    int16_t flags = 0;                // [70], bit 0: closed
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
    int32_t id = 0;
    int32_t layerId = 0;  // 0: no known layer
    int32_t ltypeId = 0;
    int16_t colour = DxfColour::ByLayer;  // [62]
    double thickness = 0;                 // [39]
    double ltScale = 1.0;                 // [48]
};

using DxfEntityData = std::variant<DxfLine, DxfPoint, DxfCircle, DxfArc, DxfText, DxfSolid, DxfInsert, DxfPolyline>;

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
    DxfText text;
    char styleName[kDxfNameSize];  // TEXT [7]
    DxfSolid solid;
    DxfInsert insert;
    char blockName[kDxfNameSize];  // INSERT and DIMENSION [2]
    DxfPolyline polyline;
    DxfDimension dimension;
    char dimStyleName[kDxfNameSize];  // DIMENSION [3]
    char dimText[kDxfValueSize];      // DIMENSION [1]
};

// The working records of one load's entity reading.
struct DxfEntityWork {
    DxfEntityInput input;
    DxfEntityRead read;
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

}  // namespace oracle
