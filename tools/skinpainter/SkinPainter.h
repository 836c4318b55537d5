#pragma once

class QImage;
class SkinOutline;

// Draws the face of the main window: the frame with its tab and buttons, the title band with the maker's
// logo and the product's name, and the white panel that carries the controls. Outside the outline every
// pixel is black, the key colour; inside, black appears only in the one hole within the logo. At a scale
// of 2 the same drawing comes out with twice the pixels each way, for screens of twice the density; each
// pixel of the outline becomes a square of 2 x 2, so the outline is the same.
class SkinPainter
{
public:
    explicit SkinPainter(const SkinOutline& outline);

    QImage paint(int scale = 1) const;

private:
    void paintFrame(QImage& skin, int scale) const;
    void paintEdge(QImage& skin, int scale) const;
    void keyOutside(QImage& skin, int scale) const;
    // Whether the pixel (x, y) of a picture drawn at `scale` lies inside the outline.
    bool contains(int x, int y, int scale) const;

    const SkinOutline& m_outline;
};
