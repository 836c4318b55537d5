#include "HandPainter.h"

#include "mainwindow/HandCursor.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <array>

namespace {

// Outlines are two pixels wide and run along pixel edges, so that they come out crisp; a finger of odd
// width has a single topmost pixel at its tip.
constexpr double fingerWidth = 7.0;
constexpr double outlineWidth = 2.0;

QPainterPath finger(int index, double top, double height)
{
    QPainterPath path;
    const double left = (index - 0.5) * fingerWidth;
    path.addRoundedRect(QRectF(left, top, fingerWidth, height), fingerWidth / 2, fingerWidth / 2);
    return path;
}

} // namespace

namespace HandPainter {

QImage paint(int scale)
{
    QImage hand(HandCursor::size * scale, HandCursor::size * scale, QImage::Format_ARGB32_Premultiplied);
    hand.fill(Qt::transparent);

    // The hand is laid out around the middle of the index finger's top edge at (0, 0); the outline there
    // covers the hot spot pixel and the one below it.
    const QPointF tip(HandCursor::hotSpot.x() + 0.5, HandCursor::hotSpot.y() + outlineWidth / 2);

    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(-3.5, -8.5, fingerWidth, 17.0), 3.5, 3.5);
    thumb = QTransform().translate(-fingerWidth / 2 - 2.0, 25.0).rotate(-44.0).map(thumb);

    QPainterPath palm;
    palm.addRoundedRect(QRectF(-fingerWidth / 2, 17.0, 4 * fingerWidth, 21.0), 6.0, 6.0);

    constexpr std::array<double, 4> fingerTops {0.0, 12.0, 14.0, 16.0};
    const QPainterPath outline = finger(0, fingerTops[0], 24.0)
                                     .united(finger(1, fingerTops[1], 15.0))
                                     .united(finger(2, fingerTops[2], 14.0))
                                     .united(finger(3, fingerTops[3], 12.0))
                                     .united(palm)
                                     .united(thumb)
                                     .simplified();

    QPainter painter(&hand);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.scale(scale, scale);
    painter.translate(tip);
    painter.setPen(QPen(Qt::black, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    painter.drawPath(outline);

    // Creases run down from the notches between the curled fingers.
    for (int gap = 1; gap <= 3; ++gap) {
        const double x = (gap - 0.5) * fingerWidth;
        const double notch = fingerTops.at(gap) + fingerWidth / 2;
        painter.drawLine(QPointF(x, notch), QPointF(x, notch + 6.0));
    }
    return hand;
}

} // namespace HandPainter
