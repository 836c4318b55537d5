#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One input of a run: a file named on the command line or found in a folder, or standard input.
struct InputSource
{
    // As named or found; "-" for standard input.
    QString path;
    // Named on the command line rather than found in a folder: an option that says how to read the files
    // given applies to it.
    bool named = true;
    // Found in a folder as a folder, to be walked in turn; a name given is looked at when its turn comes.
    bool folder = false;

    bool isStandardInput() const { return named && path == u'-'; }
};

// The inputs of a run in order: each name on the command line in turn, a folder replaced by the message
// files below it (.eml, .txt, .html, .htm; hidden ones and linked folders left out), walked depth-first in
// name order. Folders are listed only when the walk reaches them, so a run starts at once on a large tree.
class InputWalk
{
public:
    explicit InputWalk(const QStringList& names);

    std::optional<InputSource> next();
    // How many inputs the walk has found so far, given out or not.
    qsizetype found() const { return m_found; }

private:
    // What is still to come, the next one last.
    QList<InputSource> m_pending;
    qsizetype m_found = 0;
};
