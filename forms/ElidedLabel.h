#pragma once

#include <QLabel>

// A one-line caption that never cuts its text at both ends: text too wide for the label is shown from its
// start and ends in "…", and the label's tooltip shows the whole text. text() is always the whole text.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    // The text as the label draws it: the whole text when it fits.
    QString shownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
