#pragma once

#include "textio/InputFile.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One input of a run: a file named on the command line or found in a folder, or standard input.
struct InputSource
{
    // As named or found (see NativePath for names that are not UTF-8); "-" for standard input.
    QString path;
    // Named on the command line rather than found in a folder: an option that says how to read the files
    // given applies to it, and opening a named pipe waits for its writer.
    bool named = true;
    // A folder, to be walked when its turn comes.
    bool folder = false;
    // Why a folder cannot be walked; it then stands for an input that cannot be used.
    std::optional<InputFile::Fault> fault;

    bool isStandardInput() const { return named && path == u'-'; }
};

// The inputs of a run in order: each name on the command line in turn, a folder replaced by the message
// files below it (.eml, .txt, .html, .htm, .mbox; hidden ones and linked folders left out), walked
// depth-first in name order. Folders are listed only when the walk reaches them, so a run starts at once on
// a large tree; a folder that cannot be listed is given out as an input with its fault.
class InputWalk
{
public:
    explicit InputWalk(const QStringList& names);

    std::optional<InputSource> next();
    // How many inputs the walk has found so far, given out or not.
    qsizetype found() const { return m_found; }
    // Whether every input has been found: no folder is left to list.
    bool allFound() const { return m_foldersPending == 0; }

private:
    // What is still to come, the next one last.
    QList<InputSource> m_pending;
    qsizetype m_found = 0;
    qsizetype m_foldersPending = 0;
};
