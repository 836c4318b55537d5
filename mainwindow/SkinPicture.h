#pragma once

#include <QFrame>
#include <QImage>
#include <QPixmap>
#include <QPoint>

#include <optional>

// The picture that is the main window's face and the container of its controls. A press of any mouse
// button on the bare picture moves the window, as a press on a caption bar would; presses on the
// controls standing on it stay theirs.
class SkinPicture : public QFrame
{
    Q_OBJECT

public:
    explicit SkinPicture(QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    // Shows the picture inside the border and takes its size.
    void setPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_pixmap;
    // Where the window's corner lies from the mouse while the window follows it by hand.
    std::optional<QPoint> m_followOffset;
};
