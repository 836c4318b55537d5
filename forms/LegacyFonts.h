#pragma once

#include <QFont>
#include <QString>

// The typefaces of the windows' design, mapped to close families that Linux systems ship: "MS Sans Serif"
// and "Arial" to Liberation Sans (Arial's metrics, set a little closer for MS Sans Serif), "Verdana" to
// DejaVu Sans (Verdana's wide letters).
// Sizes are design points at 96 dots per inch and become pixel sizes, so captions fit the skin, which is
// drawn in pixels, on any screen.
QString legacyFamily(const QString& designFamily);

QFont legacyFont(
    const QString& designFamily, double designPoints, bool bold = false, bool underline = false, bool italic = false);
