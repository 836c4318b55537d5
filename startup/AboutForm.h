#pragma once

#include "startup/SystemInfoLauncher.h"

#include <QWidget>

class LinkLabel;
class QLabel;
struct AppInfo;

// The About box: company, title and full version, the copyright notice that links to the maker's web
// page, the distribution warning, OK and "System Info...". Modeless; it deletes itself when closed,
// so every opening loads it afresh.
class AboutForm : public QWidget
{
    Q_OBJECT

public:
    AboutForm(const AppInfo& info, PlatformServices services, QWidget* parent = nullptr);

private:
    void load(const AppInfo& info);
    void openMakerPage();

    PlatformServices m_services;
    SystemInfoLauncher m_sysInfo;
    QString m_makerHost;
    QLabel* m_titleShadow = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_productShadow = nullptr;
    QLabel* m_product = nullptr;
    QLabel* m_version = nullptr;
    LinkLabel* m_copyright = nullptr;
    QLabel* m_company = nullptr;
    QLabel* m_warning = nullptr;
};
