#include "IconPainter.h"

#include "BrandColours.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor textGrey(184, 184, 206);

} // namespace

namespace IconPainter {

QImage paint(int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Shapes are laid out on a 48-unit square; lines of one unit fall on whole pixels at 48.
    painter.scale(size / 48.0, size / 48.0);

    const QRectF window(2.5, 5.5, 41, 36);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawRoundedRect(window.translated(1.0, 1.5), 4, 4);

    QPainterPath frame;
    frame.addRoundedRect(window, 4, 4);
    QLinearGradient body(0, window.top(), 0, window.bottom());
    body.setColorAt(0.0, BrandColours::LightViolet);
    body.setColorAt(0.35, BrandColours::Violet);
    body.setColorAt(1.0, BrandColours::Violet.darker(115));
    painter.setPen(QPen(BrandColours::Navy, 1.0));
    painter.setBrush(body);
    painter.drawPath(frame);

    // Title bar with a close button, above the white panel that holds the message.
    painter.setPen(QPen(BrandColours::NearWhite, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(7, 10.5), QPointF(18, 10.5));
    painter.setPen(QPen(BrandColours::DarkOrange, 0.8));
    painter.setBrush(BrandColours::Orange);
    painter.drawEllipse(QPointF(38.5, 10.5), 2.5, 2.5);
    painter.setPen(QPen(BrandColours::Navy.lighter(150), 1.0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(5.5, 15.5, 35, 23));

    // Text lines of the message.
    painter.setPen(QPen(textGrey, 2.0, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(9, 20), QPointF(36, 20));
    painter.drawLine(QPointF(9, 25), QPointF(31, 25));
    painter.drawLine(QPointF(9, 30), QPointF(25, 30));

    // The score gauge: a violet track with an orange reading.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(214, 214, 244));
    painter.drawRect(QRectF(9, 33, 22, 3));
    painter.setBrush(BrandColours::Orange);
    painter.drawRect(QRectF(9, 33, 13, 3));

    // An orange badge with a tick, half over the window's corner.
    const QPointF badge(37.5, 36.5);
    QRadialGradient badgeFill(badge - QPointF(3, 3), 11);
    badgeFill.setColorAt(0.0, BrandColours::PaleOrange);
    badgeFill.setColorAt(1.0, BrandColours::DarkOrange);
    painter.setPen(QPen(QColor(150, 62, 8), 1.0));
    painter.setBrush(badgeFill);
    painter.drawEllipse(badge, 8.5, 8.5);
    QPainterPath tick;
    tick.moveTo(badge + QPointF(-4.2, 0.2));
    tick.lineTo(badge + QPointF(-1.2, 3.2));
    tick.lineTo(badge + QPointF(4.3, -3.3));
    painter.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
    return icon;
}

} // namespace IconPainter
