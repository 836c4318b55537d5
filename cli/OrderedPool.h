#pragma once

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Does pieces of work on several threads and hands their results back in the order the work was started.
// The caller's thread takes part: it does the oldest piece itself when no worker has taken it, and while a
// worker finishes the oldest it does the later pieces nobody has taken, so no thread waits while work is left.
template <typename Result>
class OrderedPool
{
public:
    // Each piece is told which thread does it, from 0 (the caller's) to the pool's threads less one, so that
    // it can keep state per thread.
    using Work = std::function<Result(int thread)>;

    // `threads` in all, the caller's among them.
    explicit OrderedPool(int threads)
        : m_threads(threads)
    {
    }

    ~OrderedPool()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        for (std::thread& worker : m_workers)
            worker.join();
    }

    void start(Work work)
    {
        auto task = std::make_shared<Task>();
        task->work = std::move(work);
        m_started.push_back(task);
        // The workers start with the second piece: a run of one message, the most common, does it on the
        // caller's thread and starts no thread at all.
        if (m_workers.empty() && m_started.size() > 1) {
            for (int thread = 1; thread < m_threads; ++thread)
                m_workers.emplace_back([this, thread] { serve(thread); });
        }
        if (m_workers.empty())
            return;
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(task));
        }
        m_wake.notify_one();
    }

    // How many pieces are started and not yet taken.
    qsizetype pending() const { return qsizetype(m_started.size()); }

    // The result of the oldest piece started; waits until it is done.
    Result takeOldest()
    {
        const std::shared_ptr<Task> task = std::move(m_started.front());
        m_started.pop_front();
        if (!doUnlessTaken(*task, 0)) {
            for (const std::shared_ptr<Task>& later : m_started) {
                if (task->done.load(std::memory_order_acquire))
                    break;
                doUnlessTaken(*later, 0);
            }
            task->done.wait(false, std::memory_order_acquire);
        }
        return std::move(*task->result);
    }

private:
    struct Task
    {
        Work work;
        // Whoever sets this first does the piece.
        std::atomic<bool> taken = false;
        // Set once the result is in.
        std::atomic<bool> done = false;
        std::optional<Result> result;
    };

    // Does the piece on `thread` unless another thread has taken it; returns whether it did.
    static bool doUnlessTaken(Task& task, int thread)
    {
        if (task.taken.exchange(true, std::memory_order_acq_rel))
            return false;
        task.result.emplace(task.work(thread));
        task.done.store(true, std::memory_order_release);
        task.done.notify_one();
        return true;
    }

    void serve(int thread)
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
            doUnlessTaken(*task, thread);
        }
    }

    const int m_threads;
    std::deque<std::shared_ptr<Task>> m_started;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    // Pieces for the workers, oldest first; those the caller has taken meanwhile are passed by.
    std::deque<std::shared_ptr<Task>> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
