#include "forms/FormStyle.h"

#include "forms/LegacyFonts.h"
#include "forms/Twips.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QScreen>

#include <algorithm>

using Twips::toPixels;

namespace FormStyle {

QIcon programIcon()
{
    QIcon icon(QStringLiteral(":/tallyvex.ico"));
    icon.addFile(QStringLiteral(":/tallyvex@2x.png"));
    return icon;
}

QFont dialogFont()
{
    return legacyFont(QStringLiteral("MS Sans Serif"), 8.25);
}

QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, Qt::Alignment alignment)
{
    return placeLabel(new QLabel(parent), name, geometry, alignment);
}

QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, const QFont& font, Qt::Alignment alignment)
{
    QLabel* label = addLabel(parent, name, geometry, alignment);
    label->setFont(font);
    return label;
}

void setForeground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void shrinkToFit(std::initializer_list<QLabel*> labels)
{
    QFont font = (*labels.begin())->font();
    const auto fits = [&labels](const QFont& font) {
        const QFontMetrics metrics(font);
        return std::ranges::all_of(labels, [&metrics](const QLabel* label) {
            return metrics.horizontalAdvance(label->text()) <= label->width();
        });
    };
    while (font.pixelSize() > 1 && !fits(font))
        font.setPixelSize(font.pixelSize() - 1);
    for (QLabel* label : labels)
        label->setFont(font);
}

QFrame* addRule(QWidget* parent, const char* name, int left, int right, int y)
{
    auto* rule = new QFrame(parent);
    rule->setObjectName(QString::fromLatin1(name));
    rule->setFrameShape(QFrame::NoFrame);
    rule->setAutoFillBackground(true);
    QPalette palette = rule->palette();
    palette.setColor(QPalette::Window, RuleGrey);
    rule->setPalette(palette);
    // The 2-pixel pen is centred on the line.
    rule->setGeometry(toPixels(left), toPixels(y) - 1, toPixels(right) - toPixels(left), 2);
    return rule;
}

void centreIn(QWidget* window, const QRect& area)
{
    window->move(area.center() - window->rect().center());
}

void centreOnScreen(QWidget* window)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        centreIn(window, screen->availableGeometry());
}

} // namespace FormStyle
