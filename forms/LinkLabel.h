#pragma once

#include <QLabel>

class QKeySequence;

// A caption that works as a link: a left click on it (pressed and released over it) emits clicked(), and
// so does its shortcut key. The press is the link's, so it never starts a drag of what lies beneath.
class LinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // Gives the link a key that works anywhere in its window, and a tooltip that says what the link does
    // and names the key: "About (F1)". Called once the label stands in the window the key belongs to.
    void setShortcut(const QKeySequence& key, const QString& purpose);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
