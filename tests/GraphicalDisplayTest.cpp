#include "app/GraphicalDisplay.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

TEST(GraphicalDisplayTest, DisplayServerOrChosenPlatform)
{
    struct Case
    {
        const char* name;
        std::vector<std::pair<QString, QString>> variables;
        bool expected;
    };
    const std::vector<Case> cases {
        {"nothing set", {}, false},
        {"empty values", {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}, false},
        {"unrelated variables", {{"TERM", "xterm"}, {"XDG_SESSION_TYPE", "tty"}}, false},
        {"X11", {{"DISPLAY", ":0"}}, true},
        {"Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}}, true},
        {"chosen platform", {{"QT_QPA_PLATFORM", "offscreen"}}, true},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QProcessEnvironment environment;
        for (const auto& [name, value] : testCase.variables)
            environment.insert(name, value);
        EXPECT_EQ(hasGraphicalDisplay(environment), testCase.expected);
    }
}

// Without a display the program says so in one line and exits with status 1, instead of aborting.
TEST(GraphicalDisplayTest, ProgramExplainsAndExitsWithoutADisplay)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(variable));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TALLYVEX_BIN_DIR "/tallyvex"));
    ASSERT_TRUE(program.waitForFinished(30000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    const QByteArray error = program.readAllStandardError();
    EXPECT_TRUE(error.startsWith("Tallyvex needs a graphical display")) << error.toStdString();
    EXPECT_EQ(error.count('\n'), 1);
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty());
}
