// Draws the pictures the program carries in resources/: the skin of the main window, the program icon
// (also as PNG files for desktop installation) and the hand cursor of the link labels, each also at twice
// the size for screens of twice the density (skin@2x.png, tallyvex@2x.png, hand@2x.png). The results are
// committed, so a normal build does not run this program. To redraw them:
//   cmake -B build -G Ninja -DTALLYVEX_BUILD_TOOLS=ON && cmake --build build --target skinpainter
//   QT_QPA_PLATFORM=offscreen build/bin/skinpainter [resources folder]
// It stops without writing anything when the skin does not cut the window outline it must.

#include "BitmapFiles.h"
#include "HandPainter.h"
#include "IconPainter.h"
#include "SkinOutline.h"
#include "SkinPainter.h"
#include "mainwindow/HandCursor.h"
#include "mainwindow/SkinRegion.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QTextStream>
#include <QTransform>

#include <cstdlib>

namespace {

constexpr int expectedInsidePixels = 260711;
constexpr int expectedRuns = 488;

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        QTextStream(stderr) << "cannot write " << path << ": " << file.errorString() << '\n';
        return false;
    }
    return true;
}

bool checkSkin(const QImage& skin)
{
    const QList<SkinRun> runs = skinRuns(skin);
    qsizetype covered = 0;
    for (const SkinRun& run : runs)
        covered += run.end - run.start;
    QTextStream(stdout) << "skin: " << runs.size() << " runs covering " << covered << " pixels\n";
    return runs.size() == expectedRuns && covered == expectedInsidePixels;
}

// The window's outline is cut from the skin drawn at 1x; the sharp skin must have the same one.
bool checkSharpSkin(const QImage& skin, const QImage& sharp)
{
    return sharp.size() == 2 * skin.size()
        && buildSkinRegion(sharp) == QTransform::fromScale(2, 2).map(buildSkinRegion(skin));
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    const QDir resources(arguments.size() > 1 ? arguments.at(1) : QStringLiteral(TALLYVEX_RESOURCE_DIR));

    const SkinOutline outline;
    const QImage skin = SkinPainter(outline).paint();
    const QImage sharpSkin = SkinPainter(outline).paint(2);
    if (!checkSkin(skin) || !checkSharpSkin(skin, sharpSkin)) {
        QTextStream(stderr) << "the skin does not cut the expected window outline; nothing written\n";
        return EXIT_FAILURE;
    }

    if (!resources.mkpath(QStringLiteral("icons")))
        return EXIT_FAILURE;
    bool written = writeFile(resources.filePath(QStringLiteral("skin.bmp")), BitmapFiles::skinBitmap(skin))
        && sharpSkin.save(resources.filePath(QStringLiteral("skin@2x.png")), "PNG")
        && IconPainter::paint(2 * IconPainter::iconSize)
               .save(resources.filePath(QStringLiteral("tallyvex@2x.png")), "PNG")
        && HandPainter::paint(2).save(resources.filePath(QStringLiteral("hand@2x.png")), "PNG");
    written = written
        && writeFile(resources.filePath(QStringLiteral("tallyvex.ico")),
                     BitmapFiles::iconFile(IconPainter::paint(IconPainter::iconSize)));
    for (const int size : IconPainter::desktopSizes) {
        const QString name = QStringLiteral("icons/tallyvex-%1.png").arg(size);
        written = written && IconPainter::paint(size).save(resources.filePath(name), "PNG");
    }
    written = written
        && writeFile(resources.filePath(QStringLiteral("hand.cur")),
                     BitmapFiles::cursorFile(HandPainter::paint(), HandCursor::hotSpot));
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}
