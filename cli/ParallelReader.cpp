#include "cli/ParallelReader.h"

#include <atomic>
#include <future>

struct ParallelReader::Task
{
    MessageFeed::Work work;
    // Whoever sets this first reads the message.
    std::atomic<bool> claimed = false;
    std::promise<ReadMessage> promise;
    std::future<ReadMessage> result = promise.get_future();
};

ParallelReader::ParallelReader(int threads)
    : m_threads(threads)
{
}

ParallelReader::~ParallelReader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

void ParallelReader::start(MessageFeed::Work work)
{
    auto task = std::make_shared<Task>();
    task->work = std::move(work);
    m_started.push_back(task);
    // The workers start with the second message: a run of one message, the most common, reads it on the
    // caller's thread and starts no thread at all.
    if (m_workers.empty() && m_started.size() > 1) {
        for (int i = 1; i < m_threads; ++i)
            m_workers.emplace_back([this] { serve(); });
    }
    if (m_workers.empty())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(task));
    }
    m_wake.notify_one();
}

ReadMessage ParallelReader::takeOldest()
{
    const std::shared_ptr<Task> task = std::move(m_started.front());
    m_started.pop_front();
    if (!task->claimed.exchange(true))
        return task->work();
    return task->result.get();
}

void ParallelReader::serve()
{
    for (;;) {
        std::shared_ptr<Task> task;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            if (m_stopping)
                return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (!task->claimed.exchange(true))
            task->promise.set_value(task->work());
    }
}
