#pragma once

#include "mainwindow/MainFormLayout.h"

#include <QColor>
#include <QString>
#include <QWidget>

class ElidedLabel;
class LinkLabel;
class QFont;
class QFrame;
class QLabel;
class QPushButton;

// How the main window puts each kind of control on its skin from the control's row of the layout table:
// named after the row, at the row's place in pixels, and styled as the window's design has it.
namespace SkinControls {

QString nameOf(const MainFormLayout::Placement& row);

template <typename Control>
Control* place(QWidget* container, const MainFormLayout::Placement& row)
{
    auto* control = new Control(container);
    control->setObjectName(nameOf(row));
    control->setGeometry(row.pixels());
    return control;
}

// Fills the widget with the colour in whatever role its background is drawn from (buttons and check boxes
// use the button colour, other widgets the window colour).
void setOpaqueBackground(QWidget* widget, const QColor& colour);

QLabel* placeLabel(QWidget* container,
                   const MainFormLayout::Placement& row,
                   const QString& caption,
                   Qt::Alignment alignment = Qt::AlignLeft);
// A caption that ends in "…" when its text is too long for it, with the whole text in its tooltip.
ElidedLabel* placeElidedLabel(QWidget* container,
                              const MainFormLayout::Placement& row,
                              const QString& caption,
                              Qt::Alignment alignment = Qt::AlignLeft);
// A link caption under the hand pointer.
LinkLabel* placeLink(QWidget* container,
                     const MainFormLayout::Placement& row,
                     const QString& caption,
                     const QColor& colour,
                     const QFont& font,
                     Qt::Alignment alignment = Qt::AlignLeft);
// A bar of the gauge.
QLabel* placeBar(QWidget* container, const MainFormLayout::Placement& row, const QColor& colour);
// A grey rule that clicks go through.
QFrame* placeLine(QWidget* container, const MainFormLayout::Placement& row);
QPushButton* placeButton(QWidget* container, const MainFormLayout::Placement& row, const QString& caption);

// The flat single-line border, the system's text colours, and a selection that stays highlighted while
// another control has the focus.
void styleTextBox(QWidget* textBox);

template <typename TextBox>
TextBox* placeTextBox(QWidget* container, const MainFormLayout::Placement& row)
{
    auto* textBox = place<TextBox>(container, row);
    styleTextBox(textBox);
    return textBox;
}

template <typename TextBox>
TextBox* placeMultiLine(QWidget* container, const MainFormLayout::Placement& row)
{
    auto* textBox = placeTextBox<TextBox>(container, row);
    textBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textBox->setTabChangesFocus(true);
    return textBox;
}

} // namespace SkinControls
