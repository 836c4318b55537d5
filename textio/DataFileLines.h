#pragma once

#include <QList>
#include <QStringView>

// The lines of the program's data files (the definitions and the plainer wordings). A line ends at CR or
// CR LF; a lone LF belongs to the line, so a phrase may hold one. The text after the last line end is a line
// of its own when it is not empty.
inline QList<QStringView> dataFileLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'\r')
            continue;
        lines.append(text.sliced(start, i - start));
        if (i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

// Whether the text's lines end with a line feed alone: the usual reason a data file reads as one line.
inline bool endsLinesWithLineFeedsOnly(QStringView text)
{
    return !text.contains(u'\r') && text.contains(u'\n');
}
