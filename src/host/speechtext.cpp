#include "speechtext.h"

#include <QRegularExpression>

#include <algorithm>

namespace SpeechText {

QStringList utterances(const QString &text)
{
    static const QRegularExpression breaks(
        QStringLiteral("(?<=[.!?;:])\\s+|[ \\t]*(?>\\r\\n|\\r|\\n)[ \\t]*(?>\\r\\n|\\r|\\n)\\s*"));
    QStringList pieces = text.split(breaks, Qt::SkipEmptyParts);
    pieces.removeIf([](const QString &piece) {
        return std::none_of(
            piece.cbegin(), piece.cend(), [](QChar c) { return c.isLetterOrNumber(); });
    });
    return pieces;
}

} // namespace SpeechText
