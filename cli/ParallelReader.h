#pragma once

#include "cli/MessageFeed.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Reads messages on several threads and hands them back in the order their reading was started. The
// caller's thread takes part: when the oldest message is not being read yet, it reads it itself, so one
// thread reads without any worker and no thread waits for work that is not started.
class ParallelReader
{
public:
    // `threads` in all, the caller's among them.
    explicit ParallelReader(int threads);
    ~ParallelReader();

    void start(MessageFeed::Work work);
    // How many messages are started and not yet taken.
    qsizetype pending() const { return qsizetype(m_started.size()); }
    // The oldest message started; waits until it is read.
    ReadMessage takeOldest();

private:
    struct Task;

    void serve();

    const int m_threads;
    std::deque<std::shared_ptr<Task>> m_started;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    // Tasks for the workers, oldest first; those the caller has taken meanwhile are passed by.
    std::deque<std::shared_ptr<Task>> m_queue;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
