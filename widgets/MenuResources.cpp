#include "widgets/MenuResources.h"

#include <QBuffer>
#include <QImageReader>

namespace {

template <typename Map, typename Key>
auto FindIn(const Map& a, const Map& b, const Key& key) -> const typename Map::mapped_type*
{
    if (auto it = a.find(key); it != a.end())
        return &it->second;
    if (auto it = b.find(key); it != b.end())
        return &it->second;
    return nullptr;
}

uint32_t Le32(const QByteArray& b, int at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + i]);
    return v;
}

uint16_t Le16(const QByteArray& b, int at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}

constexpr int kInfoHeader = 40;
constexpr int kMaxBitmapSide = 4096;

}  // namespace

std::optional<QByteArray> MenuResources::FindMenu(uint16_t id) const
{
    if (const QByteArray* b = FindIn(current.menus, executable.menus, id))
        return *b;
    return std::nullopt;
}

std::optional<QByteArray> MenuResources::FindMenu(const QString& name) const
{
    if (const QByteArray* b = FindIn(current.namedMenus, executable.namedMenus, name))
        return *b;
    return std::nullopt;
}

const MenuToolbar* MenuResources::FindToolbar(uint16_t id) const
{
    return FindIn(current.toolbars, executable.toolbars, id);
}

std::optional<QByteArray> MenuResources::FindBitmap(uint16_t id) const
{
    if (const QByteArray* b = FindIn(current.bitmaps, executable.bitmaps, id))
        return *b;
    return std::nullopt;
}

int FindToolbarImageIndexIn(const MenuResources& res, uint16_t toolbarId, uint32_t command)
{
    const MenuToolbar* bar = res.FindToolbar(toolbarId);
    if (!bar || command == 0)
        return 0;
    int image = 0;
    for (uint16_t c : bar->commands) {
        if (c == 0)
            continue;
        if (c == command)
            return image;
        ++image;
    }
    return 0;
}

int BitmapColorCount(const QByteArray& dib)
{
    if (dib.size() < kInfoHeader || Le32(dib, 0) < static_cast<uint32_t>(kInfoHeader))
        return 0;
    const uint32_t used = Le32(dib, 32);
    if (used != 0)
        return used > 0x7FFFFFFFu ? 0 : static_cast<int>(used);
    switch (Le16(dib, 14)) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

QImage DecodeMenuBitmap(const QByteArray& dib, const MenuSysColors& colors, bool mapSysColors)
{
    if (dib.size() < kInfoHeader)
        return {};
    const uint32_t headerSize = Le32(dib, 0);
    const int32_t width = static_cast<int32_t>(Le32(dib, 4));
    const int32_t height = static_cast<int32_t>(Le32(dib, 8));
    const uint16_t bits = Le16(dib, 14);
    if (headerSize < kInfoHeader || headerSize > static_cast<uint32_t>(dib.size()) || width <= 0 ||
        width > kMaxBitmapSide || height == 0 || height < -kMaxBitmapSide || height > kMaxBitmapSide)
        return {};
    int tableEntries = bits <= 8 ? BitmapColorCount(dib) : 0;
    if (tableEntries < 0 || tableEntries > 256)
        return {};
    // Colour masks follow a 40-byte header when the bits are BI_BITFIELDS.
    const qint64 masks = headerSize == kInfoHeader && Le32(dib, 16) == 3 ? 12 : 0;
    const qint64 offBits = 14 + static_cast<qint64>(headerSize) + masks + 4 * static_cast<qint64>(tableEntries);
    // A file header in front lets Qt's BMP reader decode the resource form.
    QByteArray file("BM");
    const uint32_t fileSize = static_cast<uint32_t>(dib.size() + 14);
    for (uint32_t v : {fileSize, 0u, static_cast<uint32_t>(offBits)})
        for (int i = 0; i < 4; ++i)
            file.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    file.append(dib);
    QBuffer buffer(&file);
    QImageReader reader(&buffer, "BMP");
    QImage img;
    if (!reader.read(&img) || img.isNull())
        return {};
    img = img.convertToFormat(QImage::Format_RGB32);
    if (!mapSysColors)
        return img;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            uint32_t c = line[x] & 0xFFFFFF;
            switch (c) {
            case 0x000000: c = colors.btnText; break;
            case 0x808080: c = colors.btnShadow; break;
            case 0xC0C0C0: c = colors.btnFace; break;
            case 0xFFFFFF: c = colors.btnHighlight; break;
            default: break;
            }
            line[x] = 0xFF000000u | c;
        }
    }
    return img;
}
