#include "scanner/ScanText.h"

namespace ScanText {

QString boxSubject(const QString& subject)
{
    return subject.left(SubjectWidth);
}

void write(QString& text, const QString& subject, const QString& body)
{
    text.resize(0);
    text.reserve(SubjectWidth + body.size());
    text.append(boxSubject(subject));
    text.resize(SubjectWidth, u' ');
    text.append(body);
}

QString of(const QString& subject, const QString& body)
{
    QString text;
    write(text, subject, body);
    return text;
}

} // namespace ScanText
