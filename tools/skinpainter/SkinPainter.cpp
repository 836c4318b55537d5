#include "SkinPainter.h"

#include "BrandColours.h"
#include "SkinOutline.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

const QColor frameColour = BrandColours::Violet;
const QColor edgeColour = BrandColours::Navy;
const QColor bandTopColour(30, 29, 78);
const QColor bandBottomColour(52, 50, 124);
const QColor accentColour = BrandColours::Orange;
const QColor accentDarkColour = BrandColours::DarkOrange;
const QColor paleVioletColour(196, 195, 248);

// Places on the skin that the window's controls and click areas rely on.
const QRectF aboutButton(460, 11, 56, 18);
const QRectF exitButton(524, 11, 20, 18);
const QRectF titleBand(12, 38, 535, 48);
const QPointF logoCentre(60.5, 59.5);
const QRect panel(26, 94, 509, 378);
constexpr QPoint logoHole(60, 59);

constexpr const char* makerName = "FENWICK LARK";
constexpr const char* makerLine = "SOFTWARE";
constexpr const char* titleFirst = "Tally";
constexpr const char* titleSecond = "vex";

QColor mix(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * share,
                            from.greenF() + (to.greenF() - from.greenF()) * share,
                            from.blueF() + (to.blueF() - from.blueF()) * share);
}

QFont font(int pixelSize, bool bold, double spacing = 0.0)
{
    QFont result(QStringLiteral("DejaVu Sans"));
    result.setPixelSize(pixelSize);
    result.setBold(bold);
    result.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    result.setHintingPreference(QFont::PreferNoHinting);
    return result;
}

void paintButton(QPainter& painter, const QRectF& area, const QColor& top, const QColor& bottom)
{
    const QRectF body = area.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0.0, top);
    fill.setColorAt(1.0, bottom);
    painter.setPen(QPen(mix(bottom, edgeColour, 0.55), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, 4, 4);
    // A thin light line under the top edge gives the button its raised look.
    painter.setPen(QPen(mix(top, Qt::white, 0.45), 1.0));
    painter.drawLine(QPointF(body.left() + 3, body.top() + 1), QPointF(body.right() - 3, body.top() + 1));
}

void paintButtons(QPainter& painter)
{
    paintButton(painter, aboutButton, BrandColours::LightViolet, QColor(84, 83, 184));
    painter.setFont(font(11, true));
    painter.setPen(QColor(33, 32, 84));
    painter.drawText(aboutButton.translated(0.0, 1.0), Qt::AlignCenter, QStringLiteral("About"));
    painter.setPen(Qt::white);
    painter.drawText(aboutButton, Qt::AlignCenter, QStringLiteral("About"));

    paintButton(painter, exitButton, QColor(255, 183, 102), accentDarkColour);
    const QPointF centre = exitButton.center();
    painter.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(-3.5, -3.5), centre + QPointF(3.5, 3.5));
    painter.drawLine(centre + QPointF(-3.5, 3.5), centre + QPointF(3.5, -3.5));
}

void paintTitleBand(QPainter& painter)
{
    const QRectF body = titleBand.adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0.0, bandTopColour);
    fill.setColorAt(1.0, bandBottomColour);
    painter.setPen(QPen(mix(bandTopColour, edgeColour, 0.5), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(body, 8, 8);
    // The band is sunk into the frame: light falls on its lower edge.
    painter.setPen(QPen(mix(frameColour, Qt::white, 0.45), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(body.left() + 8, body.bottom() + 1), QPointF(body.right() - 8, body.bottom() + 1));
}

void paintLogo(QPainter& painter)
{
    // The maker's mark: an open orange ring with a light dot in its opening, around a dark centre that
    // holds the hole through the window.
    QRadialGradient ringFill(logoCentre - QPointF(6, 6), 24);
    ringFill.setColorAt(0.0, BrandColours::PaleOrange);
    ringFill.setColorAt(1.0, accentDarkColour);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(ringFill), 5.0, Qt::SolidLine, Qt::RoundCap));
    const QRectF ring(logoCentre - QPointF(13.5, 13.5), QSizeF(27, 27));
    painter.drawArc(ring, 75 * 16, 285 * 16);

    painter.setPen(Qt::NoPen);
    painter.setBrush(BrandColours::NearWhite);
    painter.drawEllipse(logoCentre + QPointF(9.5, -9.5), 3.2, 3.2);

    painter.setPen(QPen(paleVioletColour, 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(logoCentre, 7.5, 7.5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(14, 14, 36));
    painter.drawEllipse(logoCentre, 4.0, 4.0);

    painter.setPen(Qt::white);
    painter.setFont(font(18, true, 1.6));
    painter.drawText(QPointF(88, 62), QString::fromLatin1(makerName));
    painter.setPen(paleVioletColour);
    painter.setFont(font(8, false, 4.3));
    painter.drawText(QPointF(89, 74), QString::fromLatin1(makerLine));
}

void paintTitle(QPainter& painter)
{
    const QFont titleFont = font(38, true, -0.5);
    const QFontMetricsF metrics(titleFont);
    const QString first = QString::fromLatin1(titleFirst);
    const QString second = QString::fromLatin1(titleSecond);
    const double width = metrics.horizontalAdvance(first + second);
    const QPointF origin(530.0 - width, 75.0);
    const QPointF secondOrigin = origin + QPointF(metrics.horizontalAdvance(first), 0.0);

    QPainterPath lettering;
    lettering.addText(origin, titleFont, first);
    QPainterPath accent;
    accent.addText(secondOrigin, titleFont, second);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(12, 12, 34, 170));
    painter.drawPath(lettering.translated(1.5, 1.5));
    painter.drawPath(accent.translated(1.5, 1.5));

    QLinearGradient white(origin - QPointF(0, 28), origin);
    white.setColorAt(0.0, Qt::white);
    white.setColorAt(1.0, QColor(214, 213, 250));
    painter.setBrush(white);
    painter.drawPath(lettering);

    QLinearGradient orange(origin - QPointF(0, 28), origin);
    orange.setColorAt(0.0, QColor(255, 188, 104));
    orange.setColorAt(1.0, accentColour);
    painter.setBrush(orange);
    painter.drawPath(accent);
}

void paintPanel(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mix(frameColour, edgeColour, 0.25));
    painter.drawRect(panel.adjusted(-2, -2, 2, 2));
    painter.setBrush(mix(frameColour, edgeColour, 0.55));
    painter.drawRect(panel.adjusted(-1, -1, 1, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(panel);
    painter.setRenderHint(QPainter::Antialiasing, true);
}

} // namespace

SkinPainter::SkinPainter(const SkinOutline& outline)
    : m_outline(outline)
{
}

QImage SkinPainter::paint(int scale) const
{
    QImage skin(SkinOutline::width * scale, SkinOutline::height * scale, QImage::Format_RGB32);
    skin.fill(Qt::black);
    paintFrame(skin, scale);
    {
        QPainter painter(&skin);
        painter.scale(scale, scale);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        paintButtons(painter);
        paintTitleBand(painter);
        paintLogo(painter);
        paintTitle(painter);
        paintPanel(painter);
    }
    paintEdge(skin, scale);
    keyOutside(skin, scale);
    return skin;
}

bool SkinPainter::contains(int x, int y, int scale) const
{
    const auto outlinePixel = [scale](int at) { return at >= 0 ? at / scale : -1; };
    return m_outline.contains(outlinePixel(x), outlinePixel(y));
}

void SkinPainter::paintFrame(QImage& skin, int scale) const
{
    QPainter painter(&skin);
    painter.scale(scale, scale);
    painter.setClipRegion(m_outline.region());
    QLinearGradient fill(0, 4, 0, 491);
    fill.setColorAt(0.0, mix(frameColour, Qt::white, 0.28));
    fill.setColorAt(0.09, frameColour);
    fill.setColorAt(0.85, frameColour);
    fill.setColorAt(1.0, mix(frameColour, edgeColour, 0.22));
    painter.fillRect(QRect(0, 0, SkinOutline::width, SkinOutline::height), fill);
}

// Shades the outermost pixels of the outline: a navy edge all round, then a bevel lit from the top left.
// A pixel near the edge faces the outside pixels around it, the nearer ones counting more; facing the
// light lightens it, facing away darkens it. Distances count in pixels of the outline.
void SkinPainter::paintEdge(QImage& skin, int scale) const
{
    const int reach = 3 * scale;
    const QPointF towardsLight = QPointF(-0.55, -0.84);
    for (int y = 0; y < skin.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(skin.scanLine(y));
        for (int x = 0; x < skin.width(); ++x) {
            if (!contains(x, y, scale))
                continue;
            double nearest = 4.0;
            QPointF facing;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    if (contains(x + dx, y + dy, scale))
                        continue;
                    // Device pixels at the same distance as an outline pixel count as that pixel.
                    const double distance = (std::hypot(dx, dy) + scale - 1) / scale;
                    nearest = std::min(nearest, distance);
                    facing += QPointF(dx, dy) / (distance * distance * distance);
                }
            }
            if (nearest > 3)
                continue;
            if (nearest < 1.5) {
                row[x] = edgeColour.rgb();
                continue;
            }
            const double length = std::hypot(facing.x(), facing.y());
            const double light = length > 0.0 ? QPointF::dotProduct(facing / length, towardsLight) : 0.0;
            const double strength = nearest < 2.5 ? 0.5 : 0.2;
            const QColor pixel = QColor::fromRgb(row[x]);
            row[x] = (light > 0 ? mix(pixel, Qt::white, light * strength * 0.9)
                                : mix(pixel, edgeColour, -light * strength))
                         .rgb();
        }
    }
}

// Black is the key colour: it must fill everything outside the outline, and inside it only the logo's
// hole. Drawing can leave pure black inside, which would punch holes into the window, so such pixels
// take the nearest colour that is not the key.
void SkinPainter::keyOutside(QImage& skin, int scale) const
{
    const QRgb key = qRgb(0, 0, 0);
    for (int y = 0; y < skin.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(skin.scanLine(y));
        for (int x = 0; x < skin.width(); ++x) {
            if (!contains(x, y, scale))
                row[x] = key;
            else if ((row[x] & 0x00ffffff) == 0)
                row[x] = qRgb(1, 1, 1);
        }
    }
    for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx)
            skin.setPixel(logoHole * scale + QPoint(dx, dy), key);
    }
}
