#pragma once

#include "lsp/DocumentRater.h"

#include <QObject>
#include <QThread>

#include <memory>
#include <utility>

// Rates documents on a thread of its own, one piece of work after another with one DocumentRater, so the
// server goes on reading messages while a long document is rated.
class RatingThread
{
public:
    RatingThread(const QLocale& locale, const QString& programFolder);
    // Waits for the piece of work under way; the rest is dropped.
    ~RatingThread();

    // Runs `work(rater)` on the rating thread, then `done(result)` on `receiver`'s thread, unless the
    // receiver is gone by then. Work runs in the order it was given.
    template <typename Work, typename Done>
    void run(QObject* receiver, Work work, Done done)
    {
        QMetaObject::invokeMethod(
            &m_context,
            [rater = m_rater.get(), receiver, work = std::move(work), done = std::move(done)]() mutable {
                QMetaObject::invokeMethod(
                    receiver, [done = std::move(done), result = work(*rater)]() mutable { done(std::move(result)); },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }

private:
    std::unique_ptr<DocumentRater> m_rater;
    QThread m_thread;
    // Lives on the rating thread; the work is queued to it.
    QObject m_context;
};
