#include "mainwindow/WavyUnderline.h"

#include <QColor>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextCharFormat>

#include <algorithm>
#include <cmath>

namespace WavyUnderline {

namespace {

// Set on a character format that asks for the wave; its colour is the format's underline colour.
constexpr int WavyProperty = QTextFormat::UserProperty + 2;

// In pixels of the text's own size: the wave rises and falls by 2, turning every 2, with its top 1.5 below
// the baseline where there is room for it (the middle of the second row of pixels under the letters).
constexpr qreal Top = 1.5;
constexpr qreal Depth = 2.0;
constexpr qreal HalfPeriod = 2.0;
constexpr qreal PenWidth = 1.0;

// How far below its top the wave runs at `x` pixels from its start.
qreal depthAt(qreal x)
{
    const qreal phase = std::fmod(x, 2 * HalfPeriod);
    return (phase <= HalfPeriod ? phase : 2 * HalfPeriod - phase) * Depth / HalfPeriod;
}

// On a screen of plain density, one whole pixel per column: a crisp zigzag, where smoothed lines would blur
// into a dotted band.
void drawInPixels(QPainter& painter, qreal left, qreal right, qreal top, const QColor& colour)
{
    const int first = qRound(left);
    const int row = qFloor(top);
    for (int x = first; x < qRound(right); ++x)
        painter.fillRect(x, row + qRound(depthAt(x - first)), 1, 1, colour);
}

// On denser screens a smoothed line, one pixel of the text's size wide.
void drawSmooth(QPainter& painter, qreal left, qreal right, qreal top, const QColor& colour)
{
    QPainterPath wave(QPointF(left, top));
    for (qreal x = std::min(left + HalfPeriod, right);; x = std::min(x + HalfPeriod, right)) {
        wave.lineTo(x, top + depthAt(x - left));
        if (x >= right)
            break;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, PenWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(wave);
}

} // namespace

QTextCharFormat format(const QColor& colour)
{
    QTextCharFormat wavy;
    wavy.setUnderlineStyle(QTextCharFormat::NoUnderline);
    wavy.setUnderlineColor(colour);
    wavy.setProperty(WavyProperty, true);
    return wavy;
}

bool isWavy(const QTextFormat& format)
{
    return format.boolProperty(WavyProperty);
}

void draw(QPainter& painter, qreal left, qreal right, qreal baseline, const QColor& colour, qreal bottom)
{
    if (right <= left)
        return;
    const qreal top = std::min(baseline + Top, bottom - Depth - PenWidth / 2);
    painter.save();
    if (painter.device()->devicePixelRatioF() > 1.0)
        drawSmooth(painter, left, right, top, colour);
    else
        drawInPixels(painter, left, right, top, colour);
    painter.restore();
}

} // namespace WavyUnderline
