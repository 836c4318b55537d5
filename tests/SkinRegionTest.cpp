#include "mainwindow/SkinRegion.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QRegion>
#include <QTransform>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int skinHeight = 496;

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

// The skin the window is cut from.
class WindowSkin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_skin = QImage(QStringLiteral(":/skin.bmp")).convertToFormat(QImage::Format_RGB32);
    }

    static QImage s_skin;
};

QImage WindowSkin::s_skin;

TEST_F(WindowSkin, RunsCutTheWindowOutline)
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

// The sharp pictures are the same drawings at twice the size; the window keeps the outline of the skin.
TEST_F(WindowSkin, SharpPicturesAreTwiceTheSizeWithTheSameOutline)
{
    const struct
    {
        const char* file;
        QSize size;
    } pictures[] = {{"skin@2x.png", 2 * s_skin.size()}, {"tallyvex@2x.png", {96, 96}}, {"hand@2x.png", {96, 96}}};
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.file);
        EXPECT_EQ(QImage(QStringLiteral(":/") + QLatin1String(picture.file)).size(), picture.size);
    }
    const QImage sharp = QImage(QStringLiteral(":/skin@2x.png")).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(coverTheSamePixels(buildSkinRegion(sharp), QTransform::fromScale(2, 2).map(buildSkinRegion(s_skin))));
}

TEST_F(WindowSkin, RegionIsTheUnionOfTheRunRectangles)
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

} // namespace
