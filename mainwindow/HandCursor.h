#pragma once

#include <QPoint>

// The pointing hand shown over the link labels, resources/hand.cur (48 x 48 pixels, 256 colours), and
// resources/hand@2x.png, the same drawing at twice the size.
namespace HandCursor {

inline constexpr int size = 48;

// The pixel at the tip of the index finger, which is where a click lands.
inline constexpr QPoint hotSpot {14, 1};

} // namespace HandCursor
