#include "cli/OrderedPool.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <numeric>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Enough work per piece that the workers take some of the pieces, and every fourth piece longer, so that the
// caller also runs out of later pieces to do while a worker finishes the oldest.
int slowSquare(int value)
{
    const int rounds = value % 4 == 0 ? 200000 : 10000;
    volatile int square = 0;
    for (int i = 0; i < rounds; ++i)
        square = value * value;
    return square;
}

} // namespace

// The results come back in the order their pieces were started, whichever thread did each; and a thread
// number always stands for the same thread, since the pieces keep state per thread number.
TEST(OrderedPoolTest, HandsResultsBackInStartOrderAndNumbersEachThreadOnce)
{
    constexpr int Pieces = 300;
    for (const auto& [threads, window] : {std::pair {1, 8}, {2, 2}, {2, 8}, {3, 8}}) {
        SCOPED_TRACE(testing::Message() << threads << " threads, " << window << " pieces under way");
        std::mutex mutex;
        std::map<int, std::thread::id> threadOfNumber;
        bool numberShared = false;
        std::vector<int> results;
        {
            OrderedPool<int> pool(threads);
            int started = 0;
            while (started < Pieces || pool.pending() > 0) {
                while (started < Pieces && pool.pending() < window) {
                    pool.start([&, piece = started++](int thread) {
                        {
                            const std::lock_guard lock(mutex);
                            const auto [known, added] = threadOfNumber.emplace(thread, std::this_thread::get_id());
                            numberShared = numberShared || known->second != std::this_thread::get_id();
                        }
                        return slowSquare(piece);
                    });
                }
                results.push_back(pool.takeOldest());
            }
        }
        std::vector<int> expected(Pieces);
        std::iota(expected.begin(), expected.end(), 0);
        for (int& value : expected)
            value *= value;
        EXPECT_EQ(results, expected);
        EXPECT_FALSE(numberShared);
        for (const auto& [number, thread] : threadOfNumber) {
            EXPECT_GE(number, 0);
            EXPECT_LT(number, threads);
        }
    }
}
