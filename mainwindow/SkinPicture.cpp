#include "mainwindow/SkinPicture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QWindow>

SkinPicture::SkinPicture(QWidget* parent)
    : QFrame(parent)
{
}

void SkinPicture::setPicture(const QImage& picture, const QImage& sharpPicture)
{
    m_picture = picture;
    m_pixmap = QPixmap::fromImage(picture);
    m_sharpPixmap = QPixmap::fromImage(sharpPicture);
    m_sharpPixmap.setDevicePixelRatio(2.0);
    const int border = 2 * frameWidth();
    resize(picture.width() + border, picture.height() + border);
    update();
}

void SkinPicture::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    // At a ratio between 1 and 2 (1.25, 1.5) the sharp picture is scaled down smoothly rather than the
    // plain one scaled up. The ratio is that of what is painted on (the window's backing store, or a
    // picture the window is rendered into), not the widget's.
    const bool sharp = painter.paintEngine()->paintDevice()->devicePixelRatioF() > 1.0 && !m_sharpPixmap.isNull();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, sharp);
    painter.drawPixmap(contentsRect().topLeft(), sharp ? m_sharpPixmap : m_pixmap);
    if (hasFocus() && !m_focusFrame.isEmpty()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(m_focusFrame);
    }
    painter.end();
    QFrame::paintEvent(event);
}

void SkinPicture::focusInEvent(QFocusEvent* event)
{
    update();
    QFrame::focusInEvent(event);
}

void SkinPicture::focusOutEvent(QFocusEvent* event)
{
    update();
    QFrame::focusOutEvent(event);
}

void SkinPicture::mousePressEvent(QMouseEvent* event)
{
    // A press that a label let through is still a press on that label, not on the bare picture.
    if (childAt(event->position().toPoint()) != nullptr)
        return;
    m_pressedAt = event->globalPosition().toPoint();
}

void SkinPicture::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pointer = event->globalPosition().toPoint();
    if (event->buttons() == Qt::NoButton)
        return;
    if (m_followOffset) {
        window()->move(pointer - *m_followOffset);
        return;
    }
    if (!m_pressedAt || (pointer - *m_pressedAt).manhattanLength() < QApplication::startDragDistance())
        return;
    QWidget* form = window();
    // The window first catches up with the pointer, so that the point pressed stays under it.
    form->move(form->pos() + pointer - *m_pressedAt);
    m_pressedAt.reset();
    // The system moves the window while the left button is held; any other button, or a platform that
    // cannot move windows itself, has the window follow the mouse until the button is released.
    QWindow* handle = form->windowHandle();
    if (event->buttons() == Qt::LeftButton && handle != nullptr && handle->startSystemMove())
        return;
    m_followOffset = pointer - form->pos();
}

void SkinPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton) {
        m_pressedAt.reset();
        m_followOffset.reset();
    }
}
