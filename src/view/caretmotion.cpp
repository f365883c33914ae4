#include "caretmotion.h"

#include "displaylines.h"
#include "document/document.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

CaretMotion::CaretMotion(const Document &document, DisplayLines &lines)
    : m_document(document)
    , m_lines(lines)
{ }

// One grapheme or word along the stretch that holds the position, into the next stretch or
// paragraph at its edge.
qsizetype CaretMotion::step(qsizetype position, bool forward, Skip skip) const
{
    const QTextLayout::CursorMode mode
        = skip == Skip::Words ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    const qsizetype paragraph = m_lines.paragraphAt(position);
    const qsizetype start = m_lines.paragraphStart(paragraph);
    const qsizetype length = m_lines.paragraphEnd(paragraph) - start;
    qsizetype offset = std::min(position - start, length);
    if (forward && offset == length) {
        return paragraph + 1 < m_lines.paragraphCount() ? m_lines.paragraphStart(paragraph + 1)
                                                           : start + length;
    }
    if (!forward && offset == 0)
        return paragraph > 0 ? m_lines.paragraphEnd(paragraph - 1) : 0;
    for (;;) {
        const DisplayLines::Stretch stretch
            = m_lines.stretchAt(paragraph, forward ? offset : offset - 1);
        const int inStretch = int(offset - stretch.from);
        const int moved = forward ? stretch.layout->nextCursorPosition(inStretch, mode)
                                  : stretch.layout->previousCursorPosition(inStretch, mode);
        if (moved != inStretch)
            return start + stretch.from + moved;
        // At a stretch's edge inside a long paragraph: on into the next one.
        offset = forward ? stretch.to : stretch.from;
        if (offset >= length || offset <= 0)
            return start + offset;
    }
}

qsizetype CaretMotion::nextCharacter(qsizetype position) const
{
    return step(position, true, Skip::Characters);
}

qsizetype CaretMotion::previousCharacter(qsizetype position) const
{
    return step(position, false, Skip::Characters);
}

qsizetype CaretMotion::previousCodePoint(qsizetype position) const
{
    if (position <= 0)
        return 0;
    const qsizetype paragraph = m_lines.paragraphAt(position);
    if (position <= m_lines.paragraphStart(paragraph))
        return paragraph > 0 ? m_lines.paragraphEnd(paragraph - 1) : 0;
    if (position >= 2 && m_document.at(position - 1).isLowSurrogate()
        && m_document.at(position - 2).isHighSurrogate())
        return position - 2;
    return position - 1;
}

qsizetype CaretMotion::nextWord(qsizetype position) const
{
    return step(position, true, Skip::Words);
}

qsizetype CaretMotion::previousWord(qsizetype position) const
{
    return step(position, false, Skip::Words);
}

std::pair<qsizetype, qsizetype> CaretMotion::wordAt(qsizetype position) const
{
    const qsizetype paragraph = m_lines.paragraphAt(position);
    const qsizetype start = m_lines.paragraphStart(paragraph);
    const qsizetype offset = std::min(position - start, m_lines.paragraphEnd(paragraph) - start);
    const DisplayLines::Stretch stretch = m_lines.stretchAt(paragraph, offset);
    const QString text = stretch.layout->text();
    if (text.isEmpty())
        return { position, position };
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(int(std::min<qsizetype>(offset - stretch.from, text.size() - 1)) + 1);
    const qsizetype from = std::max<qsizetype>(0, finder.toPreviousBoundary());
    finder.setPosition(int(from));
    const qsizetype to = finder.toNextBoundary();
    const qsizetype base = start + stretch.from;
    return { base + from, base + (to < 0 ? text.size() : to) };
}

qsizetype CaretMotion::lineStart(qsizetype position) const
{
    const qsizetype paragraph = m_lines.paragraphAt(position);
    const qsizetype start = m_lines.paragraphStart(paragraph);
    const qsizetype offset = std::min(position - start, m_lines.paragraphEnd(paragraph) - start);
    const DisplayLines::Stretch stretch = m_lines.stretchAt(paragraph, offset);
    const QTextLine line = stretch.layout->lineForTextPosition(int(offset - stretch.from));
    return start + stretch.from + (line.isValid() ? line.textStart() : 0);
}

// The end of a display line, before the blank a wrapped line ends with, as Qt's End key goes.
qsizetype CaretMotion::lineEnd(qsizetype position) const
{
    const qsizetype paragraph = m_lines.paragraphAt(position);
    const qsizetype start = m_lines.paragraphStart(paragraph);
    const qsizetype length = m_lines.paragraphEnd(paragraph) - start;
    const qsizetype offset = std::min(position - start, length);
    const DisplayLines::Stretch stretch = m_lines.stretchAt(paragraph, offset);
    const QTextLine line = stretch.layout->lineForTextPosition(int(offset - stretch.from));
    if (!line.isValid())
        return start + length;
    const qsizetype end = stretch.from + line.textStart() + line.textLength();
    if (end >= length)
        return start + length;
    const bool lastOfStretch = line.lineNumber() == stretch.layout->lineCount() - 1;
    const QChar before = lastOfStretch ? m_document.at(start + end - 1)
                                       : stretch.layout->text().at(end - stretch.from - 1);
    return start + end - (before.isSpace() ? 1 : 0);
}

qreal CaretMotion::xOf(qsizetype position) const
{
    const qsizetype paragraph = m_lines.paragraphAt(position);
    const qsizetype start = m_lines.paragraphStart(paragraph);
    const qsizetype offset = std::min(position - start, m_lines.paragraphEnd(paragraph) - start);
    const DisplayLines::Stretch stretch = m_lines.stretchAt(paragraph, offset);
    const int inStretch = int(offset - stretch.from);
    const QTextLine line = stretch.layout->lineForTextPosition(inStretch);
    return line.isValid() ? line.cursorToX(inStretch) : 0;
}

qsizetype CaretMotion::lineMove(qsizetype position, int lines, qreal x) const
{
    DisplayLines::Line line = m_lines.lineOfPosition(position);
    for (int i = 0; i < std::abs(lines); ++i) {
        const DisplayLines::Line next = lines > 0 ? m_lines.next(line) : m_lines.previous(line);
        if (next == line)
            return lines > 0 ? m_document.size() : 0;
        line = next;
    }
    const DisplayLines::Stretch stretch = m_lines.stretchOfLine(line);
    const QTextLine textLine = stretch.layout->lineAt(line.index - stretch.firstLine);
    if (!textLine.isValid())
        return stretch.start + stretch.from;
    qsizetype offset = textLine.xToCursor(x);
    // The end of a wrapped line is the start of the next: stay on this one, before its blank.
    const qsizetype lineEnd = textLine.textStart() + textLine.textLength();
    const bool wrapped = textLine.lineNumber() + 1 < stretch.layout->lineCount() || !stretch.last;
    if (wrapped && offset >= lineEnd && lineEnd > textLine.textStart())
        offset = lineEnd - 1;
    return stretch.start + stretch.from + offset;
}
