#pragma once

#include <QList>
#include <QString>

#include <optional>

/// The corrections Auto Capitalise applies to the whole text on every change: the pronoun "i",
/// two typing errors, a country name, and small letters after "www." and in "http" and ".com".
namespace Autocorrection {

/// One replacement pass: every occurrence of `search` (case-sensitive, left to right, without
/// overlaps) becomes `replacement`, which is as long.
struct Pass
{
    QString search;
    QString replacement;
};

/// The 38 passes in the order they run: 11 word passes, then "www." followed by each character
/// from "@" to "Z".
QList<Pass> passes();

/// The text once no pass finds anything more, as rerunning the passes after each change that
/// one of them made would leave it (" i i " becomes " I I "); nothing when no pass finds
/// anything. One scan, and a copy only when something changes.
std::optional<QString> corrected(const QString &text);

/// What correcting changes: the characters from `from` on become `text`.
struct Correction
{
    qsizetype from = 0;
    QString text;
};

/// The correction of a text on which no pass found anything until [from, to) changed: only
/// patterns that touch the change can match, and what a correction changes can only make a
/// match close by, so the scan covers the change and its neighbours, farther while corrections
/// land at its edge. Equal to corrected() for such a text; over [0, size) it is corrected() of
/// any text.
std::optional<Correction> correctedAround(const QString &text, qsizetype from, qsizetype to);

/// Whether the next small letter typed after `ch` becomes a capital.
bool endsSentence(QChar ch);

} // namespace Autocorrection
