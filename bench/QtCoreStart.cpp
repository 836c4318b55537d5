#include <QCoreApplication>

// The floor for a command-line program on Qt Core: start the application object and end. scripts/bench
// measures tallyvex-scan's start-up beside it.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    return 0;
}
