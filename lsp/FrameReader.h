#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Splits a byte stream into the messages of the language server protocol's base layer: a header of
// "Name: value" lines ended by an empty line, whose Content-Length gives the size in bytes of the content
// that follows. A header that cannot be used is reported as a frame with a fault, and reading goes on
// after it, so one bad message does not end the conversation.
class FrameReader
{
public:
    // A header without its empty line beyond this size is not a header.
    static constexpr qsizetype MaxHeaderBytes = 64 * 1024;
    // Content beyond this is passed over unread: a document of the largest body the scan takes, written
    // as JSON, stays below it.
    static constexpr qsizetype MaxContentBytes = qsizetype(1) << 30;

    struct Frame
    {
        QByteArray content;
        // Why the header could not be used; empty for a frame whose content is given.
        QString fault;
    };

    void append(QByteArrayView bytes);
    // The next complete frame, if the bytes so far hold one.
    std::optional<Frame> next();

    // The content with the header that announces it.
    static QByteArray frame(const QByteArray& content);

private:
    qsizetype unread() const { return m_buffer.size() - m_read; }
    // Reads a header if the bytes hold a whole one: sets m_contentLength, or gives the fault.
    std::optional<Frame> readHeader();
    void pass(qsizetype count);

    QByteArray m_buffer;
    // Where m_buffer's unread bytes begin; consumed bytes are dropped in batches rather than one frame at a time.
    qsizetype m_read = 0;
    // The length of the content being waited for, after its header was read; -1 while reading a header.
    qsizetype m_contentLength = -1;
    // Bytes of refused content still to pass over.
    qsizetype m_skipping = 0;
};
