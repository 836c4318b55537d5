#include "mainwindow/HandCursor.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>

#include <gtest/gtest.h>

// The drawn resources as committed under resources/: the formats the skin painter writes them in, and
// what the windows rely on in them.
namespace {

constexpr int skinWidth = 559;
constexpr int skinHeight = 496;
constexpr QRgb black = 0xff000000;

QByteArray resourceBytes(const QString& name)
{
    QFile file(QStringLiteral(":/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage resourceImage(const QString& name)
{
    QImageReader reader(QStringLiteral(":/") + name);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

quint16 word(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 dword(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

class CommittedSkin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_file = resourceBytes(QStringLiteral("skin.bmp"));
        s_skin = QImage::fromData(s_file, "BMP").convertToFormat(QImage::Format_RGB32);
    }

    static QByteArray s_file;
    static QImage s_skin;
};

QByteArray CommittedSkin::s_file;
QImage CommittedSkin::s_skin;

TEST_F(CommittedSkin, IsAnUncompressedBottomUpBitmapOf24Bits)
{
    ASSERT_EQ(s_file.size(), 833336);
    EXPECT_EQ(s_file.left(2), "BM");
    EXPECT_EQ(dword(s_file, 2), 833336u) << "file size field";
    EXPECT_EQ(dword(s_file, 10), 54u) << "offset of the pixels";
    EXPECT_EQ(dword(s_file, 14), 40u) << "info header size";
    EXPECT_EQ(qint32(dword(s_file, 18)), skinWidth);
    EXPECT_EQ(qint32(dword(s_file, 22)), skinHeight) << "a positive height stores the rows bottom-up";
    EXPECT_EQ(word(s_file, 28), 24);
    EXPECT_EQ(dword(s_file, 30), 0u) << "no compression";
    EXPECT_EQ(dword(s_file, 46), 0u) << "no palette";
    EXPECT_EQ(s_file.right(2), QByteArray(2, '\0'));

    // Row 490, the frame's last, is the sixth row stored; each row takes 1,680 bytes.
    ASSERT_EQ(s_skin.size(), QSize(skinWidth, skinHeight));
    const int stored = 54 + (skinHeight - 1 - 490) * 1680;
    for (const int x : {100, 280, 450}) {
        SCOPED_TRACE(x);
        const QRgb pixel = s_skin.pixel(x, 490);
        EXPECT_NE(pixel, black);
        EXPECT_EQ(quint8(s_file[stored + 3 * x]), qBlue(pixel));
        EXPECT_EQ(quint8(s_file[stored + 3 * x + 1]), qGreen(pixel));
        EXPECT_EQ(quint8(s_file[stored + 3 * x + 2]), qRed(pixel));
    }
}

TEST_F(CommittedSkin, BorderIsKeyColour)
{
    const auto isBorder = [](int x, int y) { return y <= 3 || y >= 491 || x <= 4 || x >= 553; };
    int border = 0;
    for (int y = 0; y < s_skin.height(); ++y) {
        for (int x = 0; x < s_skin.width(); ++x) {
            if (isBorder(x, y)) {
                ++border;
                ASSERT_EQ(s_skin.pixel(x, y), black) << x << ", " << y;
            }
        }
    }
    EXPECT_EQ(border, skinWidth * skinHeight - 548 * 487);
}

TEST_F(CommittedSkin, ArtworkLeavesRoomForTheControls)
{
    struct Spot
    {
        const char* what;
        QPoint where;
        QRgb colour;
    };
    const QRgb white = qRgb(255, 255, 255);
    const QRgb frame = qRgb(103, 102, 204);
    const QRgb edge = qRgb(26, 26, 51);
    const Spot spots[] = {
        {"panel, top left", {26, 94}, white},
        {"panel, top right", {534, 94}, white},
        {"panel, bottom left", {26, 471}, white},
        {"panel, bottom right", {534, 471}, white},
        {"panel, under the gauge", {176, 342}, white},
        {"frame, left side", {15, 250}, frame},
        {"frame, right side", {544, 250}, frame},
        {"frame, above the panel", {280, 89}, frame},
        {"edge, left", {5, 250}, edge},
        {"edge, right", {552, 250}, edge},
        {"edge, bottom", {280, 490}, edge},
        {"edge, top of the tab", {440, 4}, edge},
        {"hole in the logo", {60, 59}, black},
    };
    for (const Spot& spot : spots) {
        SCOPED_TRACE(spot.what);
        EXPECT_EQ(QColor(s_skin.pixel(spot.where)), QColor(spot.colour));
    }
}

TEST(ProgramIcon, IsOne48PixelImageWith256Colours)
{
    const QByteArray file = resourceBytes(QStringLiteral("tallyvex.ico"));
    ASSERT_GT(file.size(), 22 + 40);
    EXPECT_EQ(word(file, 2), 1) << "icon, not cursor";
    EXPECT_EQ(word(file, 4), 1) << "one image";
    EXPECT_EQ(quint8(file[6]), 48);
    EXPECT_EQ(quint8(file[7]), 48);
    const int image = int(dword(file, 18));
    EXPECT_EQ(word(file, image + 14), 8) << "bits per pixel";

    const QImage icon = resourceImage(QStringLiteral("tallyvex.ico"));
    ASSERT_EQ(icon.size(), QSize(48, 48));
    QSet<QRgb> colours;
    int violet = 0;
    int orange = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            const QColor pixel = QColor::fromRgba(icon.pixel(x, y));
            colours.insert(pixel.rgba());
            if (pixel.alpha() == 255 && pixel.hsvSaturation() > 80) {
                violet += pixel.hsvHue() >= 230 && pixel.hsvHue() <= 250;
                orange += pixel.hsvHue() >= 15 && pixel.hsvHue() <= 40;
            }
        }
    }
    EXPECT_LE(colours.size(), 256);
    EXPECT_GT(violet, 100) << "blue-violet pixels";
    EXPECT_GT(orange, 100) << "orange pixels";
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "the corners are transparent";
}

TEST(HandCursor, PointsWithTheFingertipAtItsHotSpot)
{
    const QByteArray file = resourceBytes(QStringLiteral("hand.cur"));
    ASSERT_GT(file.size(), 22 + 40);
    EXPECT_EQ(word(file, 2), 2) << "cursor, not icon";
    EXPECT_EQ(word(file, 10), HandCursor::hotSpot.x());
    EXPECT_EQ(word(file, 12), HandCursor::hotSpot.y());
    EXPECT_EQ(word(file, int(dword(file, 18)) + 14), 8) << "bits per pixel";

    const QImage hand = resourceImage(QStringLiteral("hand.cur"));
    ASSERT_EQ(hand.size(), QSize(HandCursor::size, HandCursor::size));
    // The hot spot is the middle pixel of the hand's topmost row: the tip of the index finger.
    int top = -1;
    QList<int> topColumns;
    for (int y = 0; y < hand.height() && top < 0; ++y) {
        for (int x = 0; x < hand.width(); ++x) {
            if (qAlpha(hand.pixel(x, y)) == 255)
                topColumns.append(x);
        }
        if (!topColumns.isEmpty())
            top = y;
    }
    EXPECT_EQ(top, HandCursor::hotSpot.y());
    ASSERT_FALSE(topColumns.isEmpty());
    EXPECT_EQ((topColumns.first() + topColumns.last()) / 2, HandCursor::hotSpot.x());
}

} // namespace
