#pragma once

#include <QString>

// The legal texts of the splash screen and the About box, in one place.
namespace NoticeTexts {

// "Copyright © 2003" followed by the company, when there is one.
QString copyright(const QString& company);
QString rightsReserved();
// The copyright and the rights-reserved clause as one sentence.
QString fullNotice(const QString& company);

// The distribution warning as designed, with "xxx" standing for the company.
QString warningDesign();
// The warning with each "xxx" of the design replaced by the company, in one pass over the design.
QString warning(const QString& company);

} // namespace NoticeTexts
