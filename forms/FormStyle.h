#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <initializer_list>

class QFont;
class QFrame;
class QIcon;
class QLabel;
class QWidget;

// Building blocks that the main window, the splash screen and the About box share, laid out in pixels
// converted from the twips of their designs (see Twips.h).
namespace FormStyle {

// The forms' default dialog font.
QFont dialogFont();

// The program's icon, 48 pixels and the same drawing at twice the size for screens of twice the density.
QIcon programIcon();

inline const QColor ShadowGrey {128, 128, 128};
inline const QColor RuleGrey {224, 224, 224};

// Names a label of any kind for tests and assistive tools, places it and puts its text at the top.
template <typename Label>
Label* placeLabel(Label* label, const char* name, QRect geometry, Qt::Alignment alignment = {})
{
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

// A plain label with a transparent background, placed as placeLabel does.
QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, Qt::Alignment alignment = {});
QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, const QFont& font, Qt::Alignment alignment = {});
// The colour a label's, a button's or a check box's caption is drawn in.
void setForeground(QWidget* widget, const QColor& colour);
// Makes the labels' common font smaller, when needed, until each label's text fits within its box.
void shrinkToFit(std::initializer_list<QLabel*> labels);
// A rule 2 pixels thick, from (left, y) to (right, y) in twips.
QFrame* addRule(QWidget* parent, const char* name, int left, int right, int y);

// Moves a top-level window so that its middle lies on the middle of area.
void centreIn(QWidget* window, const QRect& area);
// Centres the window on the primary screen's free area; without a screen it stays where it is.
void centreOnScreen(QWidget* window);

} // namespace FormStyle
