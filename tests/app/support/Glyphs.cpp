// Guards screenshot tests against texts drawn as missing-glyph boxes.
#include "tests/app/support/Glyphs.h"

#include <QGlyphRun>
#include <QTextLayout>

namespace {

bool Drawn(const QString& s, const QFont& font)
{
    QTextLayout layout(s, font);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) line.setLineWidth(100000);
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns())
        for (quint32 g : run.glyphIndexes()) {
            if (g == 0) return false;
            ++glyphs;
        }
    return glyphs > 0;
}

}  // namespace

QString MissingGlyphs(const QString& text, const QFont& font)
{
    QString missing;
    // Character by character, so the message names the culprit; surrogate
    // pairs stay together.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString c = text.mid(i, len);
        i += len - 1;
        if (c.trimmed().isEmpty() || c == QLatin1String("&") || missing.contains(c)) continue;
        if (!Drawn(c, font)) missing += c;
    }
    return missing;
}
