#include "forms/LinkLabel.h"

#include <QKeySequence>
#include <QMouseEvent>
#include <QShortcut>

LinkLabel::LinkLabel(QWidget* parent)
    : QLabel(parent)
{
}

void LinkLabel::setShortcut(const QKeySequence& key, const QString& purpose)
{
    setToolTip(QStringLiteral("%1 (%2)").arg(purpose, key.toString(QKeySequence::NativeText)));
    connect(new QShortcut(key, window()), &QShortcut::activated, this, &LinkLabel::clicked);
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}
