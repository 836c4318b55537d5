#include "lsp/RatingThread.h"

RatingThread::RatingThread(const QLocale& locale, const QString& programFolder)
    : m_rater(std::make_unique<DocumentRater>(locale, programFolder))
{
    m_thread.setObjectName(QStringLiteral("rating"));
    m_context.moveToThread(&m_thread);
    m_thread.start();
}

RatingThread::~RatingThread()
{
    m_thread.quit();
    m_thread.wait();
}
