#pragma once
// The DXF import object: holds at most one drawing, loads a file into it and
// turns its entities into the curves of a job page; texts become HP-GL label
// commands in the label file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "import/DxfDrawing.h"

class COnePage;
class CDxfLabelFile;

namespace DxfImportResult {
enum : int {
    Ok = 0,
    NoDrawing = 1,          // no drawing held, or none could be made
    LoadFailed = -1,        // the file could not be opened or read as DXF
    LabelWriteFailed = -2,  // the label file could not be written: the texts are missing
    TooLarge = -3,          // conversion stopped at the page's limits (block expansion runaway),
                            // or texts left out at the label file's limit
    LabelReadFailed = -4,   // the label file could not be read back
    TooManyBlocks = -5,     // more blocks than the program can take: nothing imported
    TooManyTableEntries = -6,  // more layers, linetypes or styles than it can take
    NoMemory = -7,          // a table or store could not grow
    FileTooLarge = -8,      // larger than kDxfMaxFileSize: refused unread
    Busy = 2,               // still being written (or not a regular file yet): try again later
};
}

// The import result of a load that failed on a bound or on memory.
namespace DxfImportResult {
int FromLoadError(DxfLoadError error);
}

// A circle has 8 to 100,000 segments.
constexpr int32_t kDxfCircleMinSegments = 8;
constexpr int32_t kDxfCircleMaxSegments = 100000;
// Limits of one conversion: entities converted (block contents counted each
// time they are inserted) and points made.
constexpr int64_t kDxfMaxConvertedEntities = 2000000;
constexpr int64_t kDxfMaxConvertedPoints = 16000000;
// The label file stays within what the HP-GL reader accepts (a block of texts
// inserted a million times would otherwise fill the disk); later texts are left out.
constexpr size_t kDxfMaxLabelFileBytes = 8000000;

class CDxfDrawing {
public:
    CDxfDrawing() = default;
    CDxfDrawing(const CDxfDrawing&) = delete;
    CDxfDrawing& operator=(const CDxfDrawing&) = delete;
    ~CDxfDrawing() = default;

    // 1 when a new empty drawing was made; 0 when one is held already.
    int CreateDrawing();
    int DestroyDrawing();
    int CloseIfOpen();
    // 1 when the file was loaded, 0 when it failed (the drawing stays held).
    int LoadDxf(const std::u16string& path);
    // The same for the bytes the file system holds for the name.
    int LoadDxfAt(const std::string& fsPath);
    bool IsOpen() const { return m_drawing != nullptr; }
    DxfDrawing* Drawing() { return m_drawing.get(); }

    // Converts every entity of the ENTITIES store, in order, into page; texts
    // go to labels. A DxfImportResult.
    int ImportToPage(COnePage& page, CDxfLabelFile& labels);
    // Converts one stored entity (and an INSERT's block contents).
    int ConvertDxfEntity(DxfDrawing& d, COnePage& page, const DxfEntity& e, CDxfLabelFile& labels);

private:
    std::unique_ptr<DxfDrawing> m_drawing;
};

// The bytes ConvertDxfEntity writes for one TEXT with unit factor unit.
std::string DxfLabelCommands(const DxfText& text, int32_t unit);
// The same, appended to out.
void DxfAppendLabelCommands(std::string& out, const DxfText& text, int32_t unit);
