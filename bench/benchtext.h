#pragma once

#include <QString>

/// English-like lines with CR LF ends, cut to exactly `characters` characters.
inline QString benchmarkLines(qsizetype characters)
{
    QString text;
    text.reserve(characters + 100);
    for (int line = 0; text.size() < characters; ++line)
        text += QStringLiteral("Line %1: the quick brown fox jumps over the lazy dog again.\r\n")
                    .arg(line);
    text.truncate(characters);
    return text;
}
