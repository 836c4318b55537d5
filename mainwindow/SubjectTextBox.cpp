#include "mainwindow/SubjectTextBox.h"

#include "mainwindow/WavyUnderline.h"

#include <QInputMethodEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextCharFormat>
#include <QTextLayout>

SubjectTextBox::SubjectTextBox(QWidget* parent)
    : QLineEdit(parent)
{
    // An edit takes the formats off the text, and with them the waves.
    connect(this, &QLineEdit::textChanged, this, [this] { m_waves.clear(); });
}

// Each event's formats replace those before; their places count from the caret.
void SubjectTextBox::inputMethodEvent(QInputMethodEvent* event)
{
    m_waves.clear();
    for (const QInputMethodEvent::Attribute& attribute : event->attributes()) {
        if (attribute.type != QInputMethodEvent::TextFormat)
            continue;
        const auto format = qvariant_cast<QTextFormat>(attribute.value);
        if (WavyUnderline::isWavy(format))
            m_waves.push_back(
                {cursorPosition() + attribute.start, attribute.length, format.toCharFormat().underlineColor()});
    }
    QLineEdit::inputMethodEvent(event);
}

void SubjectTextBox::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (m_waves.empty())
        return;
    QTextLayout layout(displayText(), font());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    // The box draws its text where its caret rectangle, which is centred on the caret, says.
    const QRectF caret = cursorRect();
    const qreal origin = caret.center().x() - line.cursorToX(cursorPosition());
    const qreal baseline = caret.top() + line.ascent();

    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect textArea = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    painter.setClipRect(textArea);
    for (const Wave& wave : m_waves)
        WavyUnderline::draw(painter, origin + line.cursorToX(wave.start),
                            origin + line.cursorToX(wave.start + wave.length), baseline, wave.colour,
                            textArea.bottom() + 1);
}
