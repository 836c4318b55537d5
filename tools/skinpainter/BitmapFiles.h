#pragma once

class QByteArray;
class QImage;
class QPoint;

namespace BitmapFiles {

// A Windows bitmap file of the picture: 24 bits per pixel, rows bottom-up, each padded to four bytes,
// followed by the two zero bytes that the skin file carries after its rows.
QByteArray skinBitmap(const QImage& picture);

// An icon (no hot spot) or cursor (with one) file holding a single 256-colour image with its
// transparency mask. The picture's alpha is cut at one half; the palette is chosen from its colours.
QByteArray iconFile(const QImage& picture);
QByteArray cursorFile(const QImage& picture, const QPoint& hotSpot);

} // namespace BitmapFiles
