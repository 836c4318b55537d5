#include "scanner/ScanText.h"

#include <algorithm>

namespace ScanText {

QString boxSubject(const QString& subject)
{
    return subject.left(SubjectWidth);
}

void write(QString& text, const QString& subject, const QString& body)
{
    text.resize(0);
    text.reserve(SubjectWidth + body.size());
    text.append(QStringView(subject).first(std::min(subject.size(), SubjectWidth)));
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
