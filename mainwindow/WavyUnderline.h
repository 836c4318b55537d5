#pragma once

#include <QtGlobal>

#include <limits>

class QColor;
class QPainter;
class QTextCharFormat;
class QTextFormat;

// The wavy line under heavy trigger phrases. Qt keeps its own wave within the font's descent, which at the
// boxes' small font leaves a flat dotted line, so the text boxes draw this wave themselves wherever a
// character format asks for it.
namespace WavyUnderline {

// A character format that asks for the wave in `colour` and has no underline of Qt's own.
QTextCharFormat format(const QColor& colour);
bool isWavy(const QTextFormat& format);
// Draws the wave under text that runs from x `left` to x `right` on the line whose baseline is at y
// `baseline`; where the room for it ends before y `bottom`, the wave moves up into the text's descent.
void draw(QPainter& painter,
          qreal left,
          qreal right,
          qreal baseline,
          const QColor& colour,
          qreal bottom = std::numeric_limits<qreal>::infinity());

} // namespace WavyUnderline
