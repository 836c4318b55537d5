#include <QApplication>

#include <gtest/gtest.h>

// Widget tests need an application object; they run on the offscreen platform unless told otherwise, so
// that listing the tests at build time needs no display either.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
