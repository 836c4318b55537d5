#pragma once

#include "app/StartOptions.h"
#include "mainwindow/MainForm.h"
#include "platform/PlatformServices.h"

#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class AboutForm;
class SplashForm;

// The program's course: the splash screen, then the main window, whose requests it answers with the
// desktop's services and the About box; closing the main window closes the About box too, so the program
// ends with its last window.
class AppStartup : public QObject
{
    Q_OBJECT

public:
    // definitionsPath and locale are the main window's (see MainForm).
    explicit AppStartup(PlatformServices services,
                        QString definitionsPath = QString(),
                        QLocale locale = QLocale::system(),
                        StartOptions options = {});
    // The About box goes with the program, even when the main window was never closed.
    ~AppStartup() override;

    // Shows the splash screen, which opens the main window when its time is up.
    void start();

    // The splash screen and the About box while they are open, the main window once it has opened.
    SplashForm* splash() const;
    MainForm* mainForm() const { return m_mainForm.get(); }
    AboutForm* aboutBox() const;

private:
    void openMainWindow();
    void showAbout();
    void openLink(MainForm::Link link) const;
    void openMessageFile();
    void closeAbout();

    PlatformServices m_services;
    QString m_definitionsPath;
    QLocale m_locale;
    StartOptions m_options;
    QPointer<SplashForm> m_splash;
    std::unique_ptr<MainForm> m_mainForm;
    QPointer<AboutForm> m_aboutBox;
};
