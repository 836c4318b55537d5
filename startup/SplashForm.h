#pragma once

#include <QWidget>

#include <functional>

class QTimer;
struct AppInfo;

// The splash screen the program starts with: company, title, version, warning and copyright under the
// hourglass pointer. Its one-shot timer Timer1 shows the main window and then ends the splash screen;
// nothing else closes it.
class SplashForm : public QWidget
{
    Q_OBJECT

public:
    static constexpr int DisplayMilliseconds = 2500;

    SplashForm(const AppInfo& info, std::function<void()> showMainWindow, QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void tick();
    void reportStartFailure(const QString& reason);

    std::function<void()> m_showMainWindow;
    QTimer* m_timer = nullptr;
};
