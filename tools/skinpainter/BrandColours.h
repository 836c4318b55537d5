#pragma once

#include <QColor>

// The product's colours, shared by the skin and the icons so that both look like one product.
namespace BrandColours {

inline const QColor Navy(26, 26, 51);
inline const QColor Violet(103, 102, 204);
inline const QColor LightViolet(150, 149, 236);
inline const QColor Orange(247, 146, 43);
inline const QColor DarkOrange(214, 98, 18);
inline const QColor PaleOrange(255, 196, 120);
inline const QColor NearWhite(236, 236, 255);

} // namespace BrandColours
