#include "startup/NoticeTexts.h"

namespace NoticeTexts {

QString copyright(const QString& company)
{
    const QString year = QStringLiteral("Copyright \u00A9 2003");
    return company.isEmpty() ? year : year + QLatin1Char(' ') + company;
}

QString rightsReserved()
{
    return QStringLiteral("All rights reserved.");
}

QString fullNotice(const QString& company)
{
    return copyright(company) + QStringLiteral(". ") + rightsReserved();
}

QString warningDesign()
{
    return QStringLiteral("Warning: this program is protected by copyright law and international treaties. "
                          "Distribution without the written consent of xxx is prohibited, and xxx will "
                          "prosecute it. Report software piracy at www.piracywatch.example");
}

QString warning(const QString& company)
{
    // QString::replace scans the design once, so a company name that itself contains "xxx" stays as it is.
    return warningDesign().replace(QStringLiteral("xxx"), company, Qt::CaseSensitive);
}

} // namespace NoticeTexts
