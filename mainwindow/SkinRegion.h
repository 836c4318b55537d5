#pragma once

#include <QList>

class QImage;
class QRegion;

// A maximal stretch of non-key pixels on one row of the skin; end is the first column after it.
struct SkinRun
{
    int y = 0;
    int start = 0;
    int end = 0;

    friend bool operator==(const SkinRun&, const SkinRun&) = default;
};

// Runs of non-key pixels, row by row, left to right. The key colour is the colour of pixel (0, 0),
// compared exactly: a pixel that differs from it in a single bit lies inside the window.
QList<SkinRun> skinRuns(const QImage& skin);

// The window outline cut from the skin: the union of the one-row run rectangles.
// Empty when every pixel has the key colour, which leaves the window rectangular.
QRegion buildSkinRegion(const QImage& skin);
