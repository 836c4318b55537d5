#include "SkinPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

SkinPicture::SkinPicture(QWidget* parent)
    : QFrame(parent)
{
}

void SkinPicture::setPicture(const QImage& picture)
{
    m_picture = picture;
    m_pixmap = QPixmap::fromImage(picture);
    const int border = 2 * frameWidth();
    resize(picture.width() + border, picture.height() + border);
    update();
}

void SkinPicture::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawPixmap(contentsRect().topLeft(), m_pixmap);
    painter.end();
    QFrame::paintEvent(event);
}

void SkinPicture::mousePressEvent(QMouseEvent* event)
{
    // A press that a label let through is still a press on that label, not on the bare picture.
    if (childAt(event->position().toPoint()) != nullptr)
        return;
    QWidget* form = window();
    QWindow* handle = form->windowHandle();
    if (handle != nullptr && handle->startSystemMove())
        return;
    // The platform cannot move the window itself: follow the mouse until the button is released.
    m_followOffset = event->globalPosition().toPoint() - form->pos();
}

void SkinPicture::mouseMoveEvent(QMouseEvent* event)
{
    if (m_followOffset && event->buttons() != Qt::NoButton)
        window()->move(event->globalPosition().toPoint() - *m_followOffset);
}

void SkinPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton)
        m_followOffset.reset();
}
