#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

// Carries the server's messages over standard input and output. Standard input is read on a thread of its own,
// so the server's thread never waits for the client; output is written from the server's thread.
class StdioTransport : public QObject
{
    Q_OBJECT

public:
    explicit StdioTransport(QObject* parent = nullptr);
    ~StdioTransport() override;

    // Starts reading standard input.
    void start();
    // Writes all of `bytes`; false when standard output is gone.
    bool write(const QByteArray& bytes);

signals:
    void received(const QByteArray& bytes);
    // Standard input ended or could not be read.
    void ended();

private:
    // What the reading thread hands its bytes to; it outlives the transport, whose going it is told of.
    struct Inbox;
    std::shared_ptr<Inbox> m_inbox;
};
