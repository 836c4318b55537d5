#include "PaletteReducer.h"

#include <QImage>
#include <QSet>

#include <algorithm>
#include <array>

namespace {

using Channel = int (*)(QRgb);
const std::array<Channel, 3> channels {qRed, qGreen, qBlue};

struct Box
{
    qsizetype begin;
    qsizetype end;
};

// The channel in which the box's colours spread widest, and how wide.
std::pair<Channel, int> widestChannel(const QList<QRgb>& pixels, const Box& box)
{
    std::pair<Channel, int> widest {channels[0], -1};
    for (const Channel channel : channels) {
        const auto [low, high] = std::minmax_element(pixels.begin() + box.begin, pixels.begin() + box.end,
                                                     [channel](QRgb a, QRgb b) { return channel(a) < channel(b); });
        const int spread = channel(*high) - channel(*low);
        if (spread > widest.second)
            widest = {channel, spread};
    }
    return widest;
}

QRgb averageColour(const QList<QRgb>& pixels, const Box& box)
{
    std::array<qint64, 3> sums {};
    for (qsizetype i = box.begin; i < box.end; ++i) {
        for (std::size_t c = 0; c < channels.size(); ++c)
            sums[c] += channels[c](pixels[i]);
    }
    const qint64 count = box.end - box.begin;
    const auto mean = [count](qint64 sum) { return static_cast<int>((sum + count / 2) / count); };
    return qRgb(mean(sums[0]), mean(sums[1]), mean(sums[2]));
}

} // namespace

PaletteReducer::PaletteReducer(const QImage& picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            const QRgb pixel = pixels.pixel(x, y);
            if (qAlpha(pixel) >= 128)
                m_pixels.append(pixel | 0xff000000);
        }
    }
}

QList<QRgb> PaletteReducer::palette(int colours) const
{
    const QSet<QRgb> distinct(m_pixels.begin(), m_pixels.end());
    if (distinct.size() <= colours) {
        QList<QRgb> all(distinct.begin(), distinct.end());
        std::sort(all.begin(), all.end());
        return all;
    }

    QList<QRgb> pixels = m_pixels;
    QList<Box> boxes {{0, pixels.size()}};
    while (boxes.size() < colours) {
        qsizetype chosen = -1;
        std::pair<Channel, int> chosenSpread {channels[0], 0};
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            const auto spread = widestChannel(pixels, boxes[i]);
            if (spread.second > chosenSpread.second) {
                chosen = i;
                chosenSpread = spread;
            }
        }
        if (chosen < 0)
            break;
        const Box box = boxes[chosen];
        const Channel channel = chosenSpread.first;
        const auto begin = pixels.begin() + box.begin;
        const auto end = pixels.begin() + box.end;
        std::sort(begin, end, [channel](QRgb a, QRgb b) { return channel(a) < channel(b); });
        // Split at the median, moved so that pixels of one value of the channel stay together.
        qsizetype middle = box.begin + (box.end - box.begin) / 2;
        const int value = channel(pixels[middle]);
        while (middle > box.begin && channel(pixels[middle - 1]) == value)
            --middle;
        if (middle == box.begin) {
            while (middle < box.end && channel(pixels[middle]) == value)
                ++middle;
        }
        boxes[chosen] = {box.begin, middle};
        boxes.append({middle, box.end});
    }

    QList<QRgb> result;
    for (const Box& box : boxes)
        result.append(averageColour(pixels, box));
    return result;
}
