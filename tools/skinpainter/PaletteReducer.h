#pragma once

#include <QList>
#include <QRgb>

class QImage;

// Chooses a palette of at most a given number of colours for the opaque pixels of a picture by median
// cut: the box of colours that spreads widest is split at its median pixel until there are enough boxes,
// and each box gives the average colour of its pixels. A picture with few enough colours keeps them all.
class PaletteReducer
{
public:
    explicit PaletteReducer(const QImage& picture);

    QList<QRgb> palette(int colours) const;

private:
    QList<QRgb> m_pixels;
};
