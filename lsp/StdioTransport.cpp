#include "lsp/StdioTransport.h"

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <thread>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Reads what standard input holds now, up to `size` bytes, waiting until there is something; 0 at its end,
// below 0 on a fault.
qint64 readStandardInput(char* buffer, unsigned size)
{
#ifdef Q_OS_WIN
    return _read(0, buffer, size);
#else
    qint64 count = 0;
    do {
        count = ::read(STDIN_FILENO, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count;
#endif
}

} // namespace

struct StdioTransport::Inbox
{
    std::mutex mutex;
    // Null once the transport is gone.
    StdioTransport* transport = nullptr;

    // Runs `deliver` on the transport's thread, if the transport is still there.
    template <typename Deliver>
    void post(Deliver deliver)
    {
        const std::lock_guard lock(mutex);
        if (transport)
            QMetaObject::invokeMethod(
                transport, [receiver = transport, deliver] { deliver(receiver); }, Qt::QueuedConnection);
    }
};

StdioTransport::StdioTransport(QObject* parent)
    : QObject(parent)
    , m_inbox(std::make_shared<Inbox>())
{
    m_inbox->transport = this;
}

StdioTransport::~StdioTransport()
{
    const std::lock_guard lock(m_inbox->mutex);
    m_inbox->transport = nullptr;
}

void StdioTransport::start()
{
    // The thread may be waiting for input when the program ends; it is left to end with the process.
    std::thread([inbox = m_inbox] {
        QByteArray buffer(64 * 1024, Qt::Uninitialized);
        for (;;) {
            const qint64 count = readStandardInput(buffer.data(), unsigned(buffer.size()));
            if (count <= 0)
                break;
            inbox->post([bytes = QByteArray(buffer.constData(), count)](StdioTransport* transport) {
                emit transport->received(bytes);
            });
        }
        inbox->post([](StdioTransport* transport) { emit transport->ended(); });
    }).detach();
}

bool StdioTransport::write(const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size())
        && std::fflush(stdout) == 0;
}
