#include "mainwindow/SkinControls.h"

#include "forms/ElidedLabel.h"
#include "forms/FormStyle.h"
#include "forms/LinkLabel.h"
#include "mainwindow/HandCursor.h"

#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

using FormStyle::setForeground;

namespace SkinControls {

namespace {

const QColor LineGrey(128, 128, 128);
const QString HandCursorPath = QStringLiteral(":/hand.cur");
const QString SharpHandCursorPath = QStringLiteral(":/hand@2x.png");
// The text boxes' flat, single-line border.
const QString FlatBorder = QStringLiteral("border: 1px solid black;");

// On a screen of higher density the hand drawn at twice the size; the hot spot stays in the hand's own
// 48-pixel units.
QCursor handCursor()
{
    QPixmap hand(HandCursorPath);
    if (qApp->devicePixelRatio() > 1.0) {
        hand = QPixmap(SharpHandCursorPath);
        hand.setDevicePixelRatio(2.0);
    }
    return QCursor(hand, HandCursor::hotSpot.x(), HandCursor::hotSpot.y());
}

// A text box keeps its selection highlighted while another control has the focus, so a Step Through
// stop stays visible while the scan button is being pressed.
void keepSelectionVisible(QWidget* textBox)
{
    QPalette palette = textBox->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    textBox->setPalette(palette);
}

template <typename Label>
Label* placeCaption(Label* label, const MainFormLayout::Placement& row, const QString& caption, Qt::Alignment alignment)
{
    FormStyle::placeLabel(label, row.name.data(), row.pixels(), alignment);
    label->setText(caption);
    setForeground(label, QApplication::palette().color(QPalette::ButtonText));
    return label;
}

} // namespace

QString nameOf(const MainFormLayout::Placement& row)
{
    return QString::fromLatin1(row.name.data(), qsizetype(row.name.size()));
}

void setOpaqueBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel*
placeLabel(QWidget* container, const MainFormLayout::Placement& row, const QString& caption, Qt::Alignment alignment)
{
    return placeCaption(new QLabel(container), row, caption, alignment);
}

ElidedLabel* placeElidedLabel(QWidget* container,
                              const MainFormLayout::Placement& row,
                              const QString& caption,
                              Qt::Alignment alignment)
{
    return placeCaption(new ElidedLabel(container), row, caption, alignment);
}

LinkLabel* placeLink(QWidget* container,
                     const MainFormLayout::Placement& row,
                     const QString& caption,
                     const QColor& colour,
                     const QFont& font,
                     Qt::Alignment alignment)
{
    LinkLabel* label = FormStyle::placeLabel(new LinkLabel(container), row.name.data(), row.pixels(), alignment);
    label->setText(caption);
    setForeground(label, colour);
    label->setFont(font);
    label->setCursor(handCursor());
    return label;
}

QLabel* placeBar(QWidget* container, const MainFormLayout::Placement& row, const QColor& colour)
{
    auto* bar = place<QLabel>(container, row);
    setOpaqueBackground(bar, colour);
    return bar;
}

QFrame* placeLine(QWidget* container, const MainFormLayout::Placement& row)
{
    auto* line = place<QFrame>(container, row);
    setOpaqueBackground(line, LineGrey);
    line->setAttribute(Qt::WA_TransparentForMouseEvents);
    return line;
}

QPushButton* placeButton(QWidget* container, const MainFormLayout::Placement& row, const QString& caption)
{
    auto* button = place<QPushButton>(container, row);
    button->setText(caption);
    // Enter presses the focused button, as Space does.
    button->setAutoDefault(true);
    return button;
}

void styleTextBox(QWidget* textBox)
{
    textBox->setStyleSheet(FlatBorder);
    QPalette palette = textBox->palette();
    palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Base));
    palette.setColor(QPalette::Text, QApplication::palette().color(QPalette::Text));
    textBox->setPalette(palette);
    keepSelectionVisible(textBox);
}

} // namespace SkinControls
