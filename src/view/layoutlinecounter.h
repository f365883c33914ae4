#pragma once

#include <QFont>
#include <QList>
#include <QStringView>
#include <QTextOption>

/// Where Qt wraps a paragraph into display lines, found by laying it out with QTextLayout. It has
/// the small interface of the counter that follows Qt's line filling without a layout, and stands
/// in for it until that one is in the program.
class LayoutLineCounter
{
public:
    LayoutLineCounter(const QFont &font, QTextOption::WrapMode wrapMode, qreal lineWidth);

    void setLineWidth(qreal lineWidth) { m_lineWidth = lineWidth; }
    qreal lineWidth() const { return m_lineWidth; }
    QTextOption::WrapMode wrapMode() const { return m_option.wrapMode(); }
    const QFont &font() const { return m_font; }

    /// Display lines of the paragraph; 1 for an empty one.
    int count(QStringView paragraph);
    /// Where the display line after the one starting at `lineStart` starts; the paragraph's
    /// length when that line is its last.
    qsizetype nextLineStart(QStringView paragraph, qsizetype lineStart);
    /// Appends the starts of up to `maxLines` display lines that follow the line starting at
    /// `lineStart`; returns how many it appended (fewer at the end of the paragraph).
    int appendLineStarts(
        QStringView paragraph, qsizetype lineStart, int maxLines, QList<qsizetype> &starts);

private:
    QFont m_font;
    QTextOption m_option;
    qreal m_lineWidth = 0;
};
