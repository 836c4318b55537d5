#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>

#include <optional>

// The picture that is the main window's face and the container of its controls. Dragging the bare
// picture with any mouse button moves the window, as dragging a caption bar would; the move starts once
// the pointer has gone the platform's drag distance, so a click never leaves the window on the pointer.
// Presses on the controls standing on it stay theirs.
class SkinPicture : public QFrame
{
    Q_OBJECT

public:
    explicit SkinPicture(QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    // Shows the picture inside the border and takes its size. On a screen of higher density the same
    // picture drawn at twice the size, when given, is shown in its place at the same size.
    void setPicture(const QImage& picture, const QImage& sharpPicture = QImage());
    // Where the picture shows that it has the keyboard focus.
    void setFocusFrame(const QRect& frame) { m_focusFrame = frame; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_pixmap;
    QPixmap m_sharpPixmap;
    QRect m_focusFrame;
    // Where a press on the bare picture began, until the drag starts or the button is released.
    std::optional<QPoint> m_pressedAt;
    // Where the window's corner lies from the mouse while the window follows it by hand.
    std::optional<QPoint> m_followOffset;
};
