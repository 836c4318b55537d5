#include "FormStyle.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>

namespace FormStyle {

QRect twipsRect(int left, int top, int width, int height)
{
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

QFont legacyFont(const QString& family, qreal points, int style)
{
    QFont result(family);
    result.setPointSizeF(points);
    result.setBold(style & Bold);
    result.setItalic(style & Italic);
    result.setUnderline(style & Underline);
    return result;
}

QFont dialogFont()
{
    return legacyFont(QStringLiteral("MS Sans Serif"), 8.25);
}

QLabel* addLabel(QWidget* parent, const char* name, QRect geometry, const QFont& font, Qt::Alignment alignment)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
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
    rule->setGeometry(pixels(left), pixels(y) - 1, pixels(right) - pixels(left), 2);
    return rule;
}

} // namespace FormStyle
