#pragma once

#include <QtGlobal>

class Document;
class DisplayLines;

/// Where the caret goes for each key that moves it, in document positions: by character
/// (a grapheme, a CR LF pair as one), by word, to the start or end of a display line, up and
/// down a display line keeping its x. Paragraph breaks are crossed whole; a position between a
/// CR and its LF counts as the end of its paragraph.
class CaretMotion
{
public:
    CaretMotion(const Document &document, DisplayLines &lines);

    qsizetype nextCharacter(qsizetype position) const;
    qsizetype previousCharacter(qsizetype position) const;
    /// One code point back, as Backspace deletes: a pair of surrogates, or a paragraph break.
    qsizetype previousCodePoint(qsizetype position) const;
    qsizetype nextWord(qsizetype position) const;
    qsizetype previousWord(qsizetype position) const;
    /// The word around a position, as a double click selects it.
    std::pair<qsizetype, qsizetype> wordAt(qsizetype position) const;
    qsizetype lineStart(qsizetype position) const;
    qsizetype lineEnd(qsizetype position) const;
    /// The caret's x on its display line, from the text's left edge.
    qreal xOf(qsizetype position) const;
    /// The position `lines` display lines down (up when negative) nearest to `x`.
    qsizetype lineMove(qsizetype position, int lines, qreal x) const;

private:
    enum class Skip { Characters, Words };
    qsizetype step(qsizetype position, bool forward, Skip skip) const;

    const Document &m_document;
    DisplayLines &m_lines;
};
