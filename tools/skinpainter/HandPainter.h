#pragma once

class QImage;

// Draws the pointing hand of the link labels, with the tip of its index finger on HandCursor::hotSpot.
namespace HandPainter {

QImage paint();

} // namespace HandPainter
