#include "cli/InputWalk.h"

#include "messagefile/MessageFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

// What a folder's walk takes: message files by their names, and mailboxes, which are told by their first
// line when they are read.
bool isMessageFile(const QString& name)
{
    return messageFormatOf(name) || name.endsWith(u".mbox", Qt::CaseInsensitive);
}

} // namespace

InputWalk::InputWalk(const QStringList& names)
{
    for (auto name = names.crbegin(); name != names.crend(); ++name)
        m_pending.append(InputSource {*name, true});
    m_found = names.size();
}

std::optional<InputSource> InputWalk::next()
{
    while (!m_pending.isEmpty()) {
        InputSource input = m_pending.takeLast();
        const bool folder = input.named
            ? !input.isStandardInput() && !input.path.isEmpty() && QFileInfo(input.path).isDir()
            : input.folder;
        if (!folder)
            return input;
        // A folder stands for the message files below it; it is no input of its own.
        --m_found;
        const QFileInfoList entries
            = QDir(input.path).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry) {
            const bool folder = entry->isDir();
            if (folder ? entry->isSymLink() : !isMessageFile(entry->fileName()))
                continue;
            m_pending.append(InputSource {QDir(input.path).filePath(entry->fileName()), false, folder});
            m_found += !folder;
        }
    }
    return std::nullopt;
}
