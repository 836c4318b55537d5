#include "cli/InputWalk.h"

#include "cli/NativePath.h"
#include "messagefile/MessageFile.h"

#include <QDir>

#include <algorithm>
#include <filesystem>

namespace {

// What a folder's walk takes: message files by their names, and mailboxes, which are told by their first
// line when they are read.
bool isMessageFile(const QString& name)
{
    return messageFormatOf(name) || name.endsWith(u".mbox", Qt::CaseInsensitive);
}

QString systemReason(const std::error_code& error)
{
    return QString::fromLocal8Bit(error.message());
}

// The entries of `folder` that the walk takes, in name order, or why the folder cannot be listed. Whether
// an entry is a folder is asked of what a link points at; a link to nothing is taken by its name and
// fails when it is opened.
std::optional<InputFile::Fault> listFolder(const QString& folder, QList<InputSource>& entries)
{
    std::error_code error;
    std::filesystem::directory_iterator listing(NativePath::encode(folder), error);
    if (error) {
        return InputFile::Fault {InputFile::Fault::Kind::CannotOpen,
                                 QStringLiteral("the folder cannot be listed (%1)").arg(systemReason(error))};
    }
    for (; listing != std::filesystem::directory_iterator(); listing.increment(error)) {
        if (error) {
            return InputFile::Fault {
                InputFile::Fault::Kind::ReadFailed,
                QStringLiteral("listing the folder failed part-way (%1)").arg(systemReason(error))};
        }
        const QString name = NativePath::decode(listing->path().filename());
        std::error_code unknownType;
        const bool isFolder = listing->is_directory(unknownType);
        if (name.startsWith(u'.') || (isFolder ? listing->is_symlink(unknownType) : !isMessageFile(name)))
            continue;
        entries.append(InputSource {QDir(folder).filePath(name), false, isFolder, {}});
    }
    std::sort(entries.begin(), entries.end(),
              [](const InputSource& a, const InputSource& b) { return a.path < b.path; });
    return std::nullopt;
}

} // namespace

InputWalk::InputWalk(const QStringList& names)
{
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        const bool folder = *name != u'-' && NativePath::isFolder(*name);
        m_pending.append(InputSource {*name, true, folder, {}});
        m_foldersPending += folder;
        m_found += !folder;
    }
}

std::optional<InputSource> InputWalk::next()
{
    while (!m_pending.isEmpty()) {
        InputSource input = m_pending.takeLast();
        if (!input.folder)
            return input;
        --m_foldersPending;
        QList<InputSource> entries;
        // A folder stands for the message files below it; it is no input of its own unless it cannot be listed.
        if ((input.fault = listFolder(input.path, entries))) {
            ++m_found;
            return input;
        }
        for (auto entry = entries.crbegin(); entry != entries.crend(); ++entry) {
            m_pending.append(*entry);
            m_foldersPending += entry->folder;
            m_found += !entry->folder;
        }
    }
    return std::nullopt;
}
