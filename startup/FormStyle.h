#pragma once

#include <QColor>
#include <QRect>

#include <initializer_list>

class QFont;
class QFrame;
class QLabel;
class QWidget;

// Shared building blocks of the splash screen and the About box, laid out in twips like their designs.
namespace FormStyle {

QRect twipsRect(int left, int top, int width, int height);

// The forms' default dialog font.
QFont dialogFont();

inline const QColor ShadowGrey {128, 128, 128};
inline const QColor RuleGrey {224, 224, 224};

// A label with a transparent background, its text at the top.
QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, const QFont& font, Qt::Alignment alignment = {});
void setTextColour(QLabel* label, const QColor& colour);
// Makes the labels' common font smaller, when needed, until each label's text fits within its box.
void shrinkToFit(std::initializer_list<QLabel*> labels);
// A rule 2 pixels thick, from (left, y) to (right, y) in twips.
QFrame* addRule(QWidget* parent, const char* name, int left, int right, int y);

} // namespace FormStyle
