#pragma once

#include <QString>
#include <QStringList>

namespace SpeechText {

/// The sentences of `text`, each ended by . ! ? ; or : before white space, or by a blank line:
/// what the speech engine speaks as one utterance. Pieces with no letter or digit (blanks,
/// punctuation) are left out, as the engine fails on them.
QStringList utterances(const QString &text);

} // namespace SpeechText
