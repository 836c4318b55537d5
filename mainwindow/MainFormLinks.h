#pragma once

#include "platform/PlatformServices.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QLabel;
class QLineEdit;
class QWidget;

// The main window's web search row, link labels, About and exit. Attached to a loaded main window, it
// finds the controls by their names and lives as long as the window. Closing the window, by any means,
// first closes the About box.
class MainFormLinks : public QObject
{
    Q_OBJECT

public:
    // Makes the About box, top-level and deleted when closed.
    using AboutBoxFactory = std::function<QWidget*()>;

    MainFormLinks(QWidget* mainForm, PlatformServices services, AboutBoxFactory makeAboutBox);
    // A main window deleted without being closed takes its About box along too.
    ~MainFormLinks() override;

    QWidget* aboutBox() const { return m_aboutBox; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search() const;
    void linkClicked(QObject* label);
    void showAbout();

    QWidget* m_mainForm;
    PlatformServices m_services;
    AboutBoxFactory m_makeAboutBox;
    QPointer<QWidget> m_aboutBox;
    QLineEdit* m_searchBox = nullptr;
    QList<QLabel*> m_links;
};
