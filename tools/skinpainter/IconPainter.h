#pragma once

#include <array>

class QImage;

// Draws the program icon, a miniature application window in blue-violet and orange, at any size. Each size
// is drawn from the same shapes, not scaled up from a smaller picture.
namespace IconPainter {

inline constexpr int iconSize = 48;
inline constexpr std::array desktopSizes {48, 64, 128, 256};

QImage paint(int size);

} // namespace IconPainter
