#pragma once

class QImage;
class SkinOutline;

// Draws the face of the main window: the frame with its tab and buttons, the title band with the maker's
// logo and the product's name, and the white panel that carries the controls. Outside the outline every
// pixel is black, the key colour; inside, black appears only in the one hole within the logo.
class SkinPainter
{
public:
    explicit SkinPainter(const SkinOutline& outline);

    QImage paint() const;

private:
    void paintFrame(QImage& skin) const;
    void paintEdge(QImage& skin) const;
    void keyOutside(QImage& skin) const;

    const SkinOutline& m_outline;
};
