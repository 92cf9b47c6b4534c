// Guards screenshot tests against texts drawn as missing-glyph boxes.
#pragma once
// Whether a text can be read on screen: the characters that no font in use
// draws (the missing-glyph box, glyph 0, after Qt's fallbacks).
#include <QFont>
#include <QString>

// Those characters of text, each once; empty when every one is drawn.
QString MissingGlyphs(const QString& text, const QFont& font);
