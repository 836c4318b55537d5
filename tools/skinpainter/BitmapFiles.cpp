#include "BitmapFiles.h"

#include "PaletteReducer.h"

#include <QByteArray>
#include <QDataStream>
#include <QHash>
#include <QIODevice>
#include <QImage>
#include <QPoint>

#include <limits>

namespace {

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;
constexpr int iconDirectorySize = 6 + 16;
constexpr int paletteSize = 256;
constexpr quint32 pixelsPerMetre = 3780; // 96 dots per inch

int paddedRowBytes(int bits)
{
    return (bits + 31) / 32 * 4;
}

void writeInfoHeader(QDataStream& out, int width, int height, int bitsPerPixel, quint32 imageSize, quint32 colours)
{
    out << quint32(infoHeaderSize) << qint32(width) << qint32(height) << quint16(1) << quint16(bitsPerPixel)
        << quint32(0) << imageSize << pixelsPerMetre << pixelsPerMetre << colours << quint32(0);
}

int nearestIndex(const QList<QRgb>& palette, QRgb colour)
{
    int nearest = 0;
    int nearestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(colour);
        const int dg = qGreen(palette[i]) - qGreen(colour);
        const int db = qBlue(palette[i]) - qBlue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < nearestDistance) {
            nearest = i;
            nearestDistance = distance;
        }
    }
    return nearest;
}

// Icon and cursor files share one layout: a directory of one entry, then a bitmap of twice the height
// whose upper half is the colour image and lower half the transparency mask (1 = transparent).
// For a cursor the entry's two words after the colour count hold the hot spot instead of planes and bits.
QByteArray iconContainer(const QImage& picture, quint16 type, quint16 first, quint16 second)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    const int width = pixels.width();
    const int height = pixels.height();

    // Entry 0 stays black: masked pixels must be black so that the screen shows through unchanged.
    QList<QRgb> palette {qRgb(0, 0, 0)};
    palette += PaletteReducer(pixels).palette(paletteSize - 1);
    const QList<QRgb> choices = palette;
    palette.resize(paletteSize, qRgb(0, 0, 0));

    const int colourRowBytes = paddedRowBytes(width * 8);
    const int maskRowBytes = paddedRowBytes(width);
    QByteArray colourRows(colourRowBytes * height, '\0');
    QByteArray maskRows(maskRowBytes * height, '\0');
    QHash<QRgb, int> indices;
    for (int y = 0; y < height; ++y) {
        const int stored = height - 1 - y;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = pixels.pixel(x, y);
            if (qAlpha(pixel) < 128) {
                char& maskByte = maskRows[stored * maskRowBytes + x / 8];
                maskByte = char(maskByte | (0x80 >> (x % 8)));
                continue;
            }
            const QRgb colour = pixel | 0xff000000;
            auto found = indices.find(colour);
            if (found == indices.end())
                found = indices.insert(colour, nearestIndex(choices, colour));
            colourRows[stored * colourRowBytes + x] = char(found.value());
        }
    }

    const quint32 imageSize = quint32(colourRows.size() + maskRows.size());
    const quint32 resourceSize = infoHeaderSize + paletteSize * 4 + imageSize;
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << type << quint16(1);
    out << quint8(width) << quint8(height) << quint8(0) << quint8(0) << first << second << resourceSize
        << quint32(iconDirectorySize);
    writeInfoHeader(out, width, height * 2, 8, imageSize, paletteSize);
    for (const QRgb colour : palette)
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    out.writeRawData(colourRows.constData(), int(colourRows.size()));
    out.writeRawData(maskRows.constData(), int(maskRows.size()));
    return file;
}

} // namespace

namespace BitmapFiles {

QByteArray skinBitmap(const QImage& picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const int width = pixels.width();
    const int height = pixels.height();
    const int rowBytes = paddedRowBytes(width * 24);
    const quint32 imageSize = quint32(rowBytes * height);
    constexpr quint32 trailingBytes = 2;
    constexpr quint32 pixelOffset = fileHeaderSize + infoHeaderSize;

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint8('B') << quint8('M') << quint32(pixelOffset + imageSize + trailingBytes) << quint16(0) << quint16(0)
        << pixelOffset;
    writeInfoHeader(out, width, height, 24, imageSize, 0);

    QByteArray row(rowBytes, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            row[3 * x] = char(qBlue(line[x]));
            row[3 * x + 1] = char(qGreen(line[x]));
            row[3 * x + 2] = char(qRed(line[x]));
        }
        out.writeRawData(row.constData(), rowBytes);
    }
    out.writeRawData("\0\0", trailingBytes);
    return file;
}

QByteArray iconFile(const QImage& picture)
{
    return iconContainer(picture, 1, 1, 8);
}

QByteArray cursorFile(const QImage& picture, const QPoint& hotSpot)
{
    return iconContainer(picture, 2, quint16(hotSpot.x()), quint16(hotSpot.y()));
}

} // namespace BitmapFiles
