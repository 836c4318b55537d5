#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QFrame;
class QLabel;
class QWidget;

// Shared building blocks of the splash screen and the About box, laid out in twips like their designs.
namespace FormStyle {

inline constexpr int TwipsPerPixel = 15;

constexpr int pixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

QRect twipsRect(int left, int top, int width, int height);

enum FontStyle
{
    Regular = 0,
    Bold = 1,
    Italic = 2,
    Underline = 4,
};

// A font of the designs, its family mapped to one installed on this system.
QFont legacyFont(const QString& family, qreal points, int style = Regular);
// The forms' default dialog font.
QFont dialogFont();

inline const QColor ShadowGrey {128, 128, 128};
inline const QColor RuleGrey {224, 224, 224};

// A label at a twips position with the parent's font and a transparent background.
QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, const QFont& font, Qt::Alignment alignment = {});
// Colours a label's text.
void setTextColour(QLabel* label, const QColor& colour);
// A rule 2 pixels thick, from (left, y) to (right, y) in twips.
QFrame* addRule(QWidget* parent, const char* name, int left, int right, int y);

} // namespace FormStyle
