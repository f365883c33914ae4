#pragma once

#include <QFont>
#include <QList>
#include <QStringView>
#include <QTextOption>

#include <memory>

class LineWalk;
class ShapingFont;
class WordShapeCache;

/// Counts the display lines a paragraph takes when Qt wraps it, without laying it out: the
/// greedy line filling of QTextLine::setLineWidth, followed step by step (the blanks before a
/// word, the overhang of a line's last glyph, a word wider than the line), on word widths
/// measured once per distinct word. A paragraph it does not follow (tabs, scripts other than
/// Latin) is laid out with QTextLayout instead; the answer is the same either way.
///
/// A paragraph is the text of one block, as QPlainTextDocumentLayout lays it out with the
/// given font, wrap mode and line width (the width QTextLine::setLineWidth gets).
class DisplayLineCounter
{
public:
    DisplayLineCounter(const QFont &font, QTextOption::WrapMode wrapMode, qreal lineWidth);
    ~DisplayLineCounter();
    DisplayLineCounter(const DisplayLineCounter &) = delete;
    DisplayLineCounter &operator=(const DisplayLineCounter &) = delete;

    /// Word widths do not depend on the line width: a new one keeps them.
    void setLineWidth(qreal lineWidth);
    qreal lineWidth() const { return m_lineWidth; }
    QTextOption::WrapMode wrapMode() const { return m_wrapMode; }
    const QFont &font() const { return m_font; }

    /// Display lines of the paragraph; 1 for an empty one.
    int count(QStringView paragraph);
    /// Where the display line after the one starting at `lineStart` starts; the paragraph's
    /// length when that line is its last. Lines fill the same way from any line start on.
    qsizetype nextLineStart(QStringView paragraph, qsizetype lineStart);
    /// Appends the starts of up to `maxLines` display lines that follow the line starting at
    /// `lineStart`; returns how many it appended (fewer at the end of the paragraph).
    int appendLineStarts(
        QStringView paragraph, qsizetype lineStart, int maxLines, QList<qsizetype> &starts);

private:
    template <typename Sink>
    bool walkLines(QStringView paragraph, qsizetype lineStart, int maxLines, const Sink &sink);
    template <typename Sink>
    void walkLinesWithQt(
        QStringView paragraph, qsizetype lineStart, int maxLines, const Sink &sink) const;

    QFont m_font;
    QTextOption::WrapMode m_wrapMode;
    QTextOption m_option;
    qreal m_lineWidth = 0;
    qint32 m_width = 0; // the line width in 26.6 fixed point
    std::unique_ptr<ShapingFont> m_shaping;
    std::unique_ptr<WordShapeCache> m_words;
    std::unique_ptr<LineWalk> m_walk; // kept from paragraph to paragraph for its storage
};
