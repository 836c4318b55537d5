#pragma once

#include <QColor>
#include <QLineEdit>

#include <vector>

// The subject box. Marks are laid over its text as the formats of an input method event (see
// PhraseHighlighter); the box draws the wavy underline those formats ask for (see WavyUnderline) under its
// text as shown, however far it has scrolled, until the text or the formats change.
class SubjectTextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit SubjectTextBox(QWidget* parent = nullptr);

protected:
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Wave
    {
        int start = 0;
        int length = 0;
        QColor colour;
    };
    std::vector<Wave> m_waves;
};
