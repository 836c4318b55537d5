#pragma once

class QImage;

// Draws the pointing hand of the link labels, with the tip of its index finger on HandCursor::hotSpot; at a
// scale of 2, the same drawing with twice the pixels each way.
namespace HandPainter {

QImage paint(int scale = 1);

} // namespace HandPainter
