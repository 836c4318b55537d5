#pragma once

#include "mainwindow/MainForm.h"
#include "platform/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// Catches the message boxes the windows show while it lives, instead of opening them.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder()
        : m_previous(MessageBoxes::setPresenter(
            [this](QWidget*, const MessageBoxRequest& request) { m_requests.append(request); }))
    {
    }
    ~MessageBoxRecorder() { MessageBoxes::setPresenter(m_previous); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const QList<MessageBoxRequest>& requests() const { return m_requests; }

private:
    QList<MessageBoxRequest> m_requests;
    MessageBoxes::Presenter m_previous;
};

// A main window loaded from a definitions file written for the test, in an English locale.
class WindowTest : public testing::Test
{
protected:
    static constexpr char Definitions[] = "Tallyvex\t1\r\nfree\t1\r\nact now\t2\r\n";

    void SetUp() override { openWindow(Definitions); }

    void openWindow(const QByteArray& definitions)
    {
        ASSERT_TRUE(m_folder.isValid());
        const QString path = m_folder.filePath(QStringLiteral("Definitions.dat"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(definitions);
        file.close();
        m_form = std::make_unique<MainForm>(path, QLocale(QLocale::English, QLocale::UnitedStates));
        m_form->show();
    }

    template <typename Control = QWidget>
    Control* control(const char* name) const
    {
        auto* found = m_form->findChild<Control*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The tooltip the widget shows for a rest of the mouse at `position`; empty when it shows none.
    static QString toolTipAt(QWidget* widget, const QPoint& position)
    {
        QToolTip::hideText();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }));
        QHelpEvent event(QEvent::ToolTip, position, widget->mapToGlobal(position));
        QApplication::sendEvent(widget, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    // The caption of a label or a button.
    QString caption(const char* name) const
    {
        if (auto* label = m_form->findChild<QLabel*>(QString::fromLatin1(name)))
            return label->text();
        return control<QAbstractButton>(name)->text();
    }

    MessageBoxRecorder m_messages;
    QTemporaryDir m_folder;
    std::unique_ptr<MainForm> m_form;
};
