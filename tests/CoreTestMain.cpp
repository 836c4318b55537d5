#include <QCoreApplication>

#include <gtest/gtest.h>

// Tests that wait for timers and work queued between threads need an application object and its event loop.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
