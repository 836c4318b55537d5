#include "mainwindow/SkinRegion.h"
#include "mainwindow/HandCursor.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegion>
#include <QSet>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>

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

QRegion unionOfRuns(const QList<SkinRun>& runs)
{
    QRegion region;
    for (const SkinRun& run : runs)
        region += QRect(run.start, run.y, run.end - run.start, 1);
    return region;
}

// Two regions cover the same pixels when nothing is left of their symmetric difference. QRegion's own
// equality compares rectangle lists, which differ with the order the rectangles were merged in.
::testing::AssertionResult coverTheSamePixels(const QRegion& built, const QRegion& expected)
{
    const QRegion difference = built.xored(expected);
    if (difference.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << difference.rectCount() << " rectangles differ, within "
                                         << difference.boundingRect().x() << ", " << difference.boundingRect().y();
}

// Every pixel of the picture lies in the region exactly when it lies in one of the runs.
::testing::AssertionResult containsExactlyTheRuns(const QRegion& region, const QSize& size, const QList<SkinRun>& runs)
{
    QList<bool> inRun(qsizetype(size.width()) * size.height(), false);
    for (const SkinRun& run : runs)
        std::fill_n(inRun.begin() + run.y * size.width() + run.start, run.end - run.start, true);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (region.contains(QPoint(x, y)) != inRun[y * size.width() + x])
                return ::testing::AssertionFailure() << "pixel " << x << ", " << y;
        }
    }
    return ::testing::AssertionSuccess();
}

// A picture described row by row: '.' is the key colour of pixel (0, 0) where that pixel is '.', any
// other letter is a colour of its own.
QImage picture(const QStringList& rows, const QHash<QChar, QRgb>& colours)
{
    QImage image(int(rows.first().size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, colours.value(rows.at(y).at(x)));
    }
    return image;
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

TEST_F(CommittedSkin, RunsCutTheWindowOutline)
{
    const QList<SkinRun> runs = skinRuns(s_skin);
    ASSERT_EQ(runs.size(), 488);

    int covered = 0;
    QList<int> runsPerRow(skinHeight, 0);
    for (const SkinRun& run : runs) {
        covered += run.end - run.start;
        ++runsPerRow[run.y];
    }
    EXPECT_EQ(covered, 260711);
    for (int y = 0; y < skinHeight; ++y) {
        const int expected = y == 59 ? 2 : (y >= 4 && y <= 490 ? 1 : 0);
        EXPECT_EQ(runsPerRow[y], expected) << "row " << y;
    }

    const auto row = [&runs](int y) {
        QList<SkinRun> found;
        std::copy_if(runs.begin(), runs.end(), std::back_inserter(found), [y](const SkinRun& r) { return r.y == y; });
        return found;
    };
    EXPECT_EQ(row(4), QList<SkinRun>({{4, 339, 542}}));
    EXPECT_EQ(row(22), QList<SkinRun>({{22, 289, 553}}));
    EXPECT_EQ(row(38), QList<SkinRun>({{38, 5, 553}}));
    EXPECT_EQ(row(59), QList<SkinRun>({{59, 5, 60}, {59, 61, 553}}));
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

TEST_F(CommittedSkin, RegionIsTheUnionOfTheRunRectangles)
{
    const QRegion region = buildSkinRegion(s_skin);
    const QList<SkinRun> runs = skinRuns(s_skin);
    EXPECT_TRUE(coverTheSamePixels(region, unionOfRuns(runs)));
    EXPECT_TRUE(containsExactlyTheRuns(region, s_skin.size(), runs));
    EXPECT_EQ(region.boundingRect(), QRect(QPoint(5, 4), QPoint(552, 490)));
    EXPECT_FALSE(region.contains(QPoint(60, 59)));
    EXPECT_TRUE(region.contains(QPoint(59, 59)));
    EXPECT_TRUE(region.contains(QPoint(61, 59)));
    EXPECT_FALSE(region.contains(QPoint(338, 4)));
    EXPECT_TRUE(region.contains(QPoint(541, 4)));
    EXPECT_FALSE(region.contains(QPoint(542, 4)));
}

struct PictureCase
{
    const char* name;
    QImage picture;
    QList<SkinRun> runs;
};

void PrintTo(const PictureCase& pictureCase, std::ostream* out)
{
    *out << pictureCase.name;
}

class SmallPictures : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(SmallPictures, RunsAndRegion)
{
    const PictureCase& pictureCase = GetParam();
    EXPECT_EQ(skinRuns(pictureCase.picture), pictureCase.runs);
    const QRegion region = buildSkinRegion(pictureCase.picture);
    EXPECT_TRUE(coverTheSamePixels(region, unionOfRuns(pictureCase.runs)));
    EXPECT_TRUE(containsExactlyTheRuns(region, pictureCase.picture.size(), pictureCase.runs));
    EXPECT_EQ(region.isEmpty(), pictureCase.runs.isEmpty());
}

const QHash<QChar, QRgb> palette {
    {'.', qRgb(0, 0, 0)},       {'r', qRgb(0, 0, 1)},    {'g', qRgb(0, 1, 0)},    {'b', qRgb(1, 0, 0)},
    {'w', qRgb(255, 255, 255)}, {'k', qRgb(16, 32, 48)}, {'K', qRgb(16, 32, 49)},
};

QImage inFormat(const QImage& image, QImage::Format format)
{
    return image.convertToFormat(format);
}

INSTANTIATE_TEST_SUITE_P(
    SkinRegion,
    SmallPictures,
    ::testing::Values(
        PictureCase {"AllKeyColour", picture({"....", "....", "...."}, palette), {}},
        PictureCase {"NullPicture", QImage(), {}},
        PictureCase {"RunReachingTheRightEdgeEndsOnItsRow",
                     picture({"..ww", "w...", "www."}, palette),
                     {{0, 2, 4}, {1, 0, 1}, {2, 0, 3}}},
        PictureCase {"RunsOnEveryRowReachingTheEdge", picture({".www", "wwww"}, palette), {{0, 1, 4}, {1, 0, 4}}},
        PictureCase {"OneBitInOneChannelIsInside", picture({".r.g.b."}, palette), {{0, 1, 2}, {0, 3, 4}, {0, 5, 6}}},
        PictureCase {"KeyColourComesFromTheTopLeftPixel",
                     picture({"kKk.", "kkkk", "Kkkk"}, palette),
                     {{0, 1, 2}, {0, 3, 4}, {2, 0, 1}}},
        PictureCase {"HoleSplitsARow",
                     picture({"......", ".wwww.", ".w.ww.", ".wwww.", "......"}, palette),
                     {{1, 1, 5}, {2, 1, 2}, {2, 3, 5}, {3, 1, 5}}},
        PictureCase {"RowsWithTheSameRunsAndRowsWithout",
                     picture({".w.w", ".w.w", "....", ".w.w", "ww.."}, palette),
                     {{0, 1, 2}, {0, 3, 4}, {1, 1, 2}, {1, 3, 4}, {3, 1, 2}, {3, 3, 4}, {4, 0, 2}}},
        PictureCase {"PictureWithoutAlphaInThreeBytesAPixel",
                     inFormat(picture({".gw", "w.."}, palette), QImage::Format_RGB888),
                     {{0, 1, 3}, {1, 0, 1}}}),
    [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

TEST(SkinRegion, RowsWithTheSameRunsShareOneBand)
{
    const QRegion region = buildSkinRegion(picture({".w.w", ".w.w", ".w.w", "ww..", ".w.w"}, palette));
    const QList<QRect> expected {QRect(1, 0, 1, 3), QRect(3, 0, 1, 3), QRect(0, 3, 2, 1), QRect(1, 4, 1, 1),
                                 QRect(3, 4, 1, 1)};
    EXPECT_EQ(QList<QRect>(region.begin(), region.end()), expected);
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
