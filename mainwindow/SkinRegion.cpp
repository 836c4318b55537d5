#include "mainwindow/SkinRegion.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <algorithm>

namespace {

constexpr QRgb colourBits = 0x00ffffff;

bool sameSpans(const QRect* band, const SkinRun* runs, qsizetype count)
{
    return std::equal(band, band + count, runs, runs + count, [](const QRect& rect, const SkinRun& run) {
        return rect.left() == run.start && rect.right() + 1 == run.end;
    });
}

} // namespace

QList<SkinRun> skinRuns(const QImage& skin)
{
    QList<SkinRun> runs;
    if (skin.isNull())
        return runs;

    const QImage pixels = skin.convertToFormat(QImage::Format_RGB32);
    const int width = pixels.width();
    const QRgb key = pixels.pixel(0, 0) & colourBits;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        int start = -1;
        for (int x = 0; x < width; ++x) {
            const bool inside = (row[x] & colourBits) != key;
            if (inside && start < 0) {
                start = x;
            } else if (!inside && start >= 0) {
                runs.append({y, start, x});
                start = -1;
            }
        }
        // A run that reaches the right-hand column ends on its own row.
        if (start >= 0)
            runs.append({y, start, width});
    }
    return runs;
}

QRegion buildSkinRegion(const QImage& skin)
{
    const QList<SkinRun> runs = skinRuns(skin);

    // QRegion::setRects takes the rectangles as they are, so rows with the same runs are joined into one
    // taller band here: the result is the same banded list that a union of the run rectangles gives.
    QList<QRect> rects;
    rects.reserve(runs.size());
    qsizetype bandBegin = 0;
    qsizetype bandSize = 0;
    for (qsizetype first = 0; first < runs.size();) {
        const int y = runs[first].y;
        qsizetype last = first;
        while (last < runs.size() && runs[last].y == y)
            ++last;
        const qsizetype count = last - first;

        const bool extendsBand = bandSize == count && rects[bandBegin].bottom() + 1 == y
            && sameSpans(rects.constData() + bandBegin, runs.constData() + first, count);
        if (extendsBand) {
            for (qsizetype i = bandBegin; i < bandBegin + bandSize; ++i)
                rects[i].setBottom(y);
        } else {
            bandBegin = rects.size();
            bandSize = count;
            for (qsizetype i = first; i < last; ++i)
                rects.append(QRect(runs[i].start, y, runs[i].end - runs[i].start, 1));
        }
        first = last;
    }

    QRegion region;
    region.setRects(rects.constData(), static_cast<int>(rects.size()));
    return region;
}
