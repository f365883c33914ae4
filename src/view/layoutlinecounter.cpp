#include "layoutlinecounter.h"

#include <QTextLayout>

namespace {

// Text laid out at a time: a line filled greedily from a line start does not depend on what
// comes before it, so a paragraph can be walked a stretch at a time.
constexpr qsizetype kStretch = 16384;

} // namespace

LayoutLineCounter::LayoutLineCounter(
    const QFont &font, QTextOption::WrapMode wrapMode, qreal lineWidth)
    : m_font(font)
    , m_lineWidth(lineWidth)
{
    m_option.setWrapMode(wrapMode);
}

int LayoutLineCounter::count(QStringView paragraph)
{
    QList<qsizetype> starts;
    int lines = 1;
    qsizetype start = 0;
    while (appendLineStarts(paragraph, start, 1024, starts) > 0) {
        lines += int(starts.size());
        start = starts.last();
        starts.clear();
    }
    return lines;
}

qsizetype LayoutLineCounter::nextLineStart(QStringView paragraph, qsizetype lineStart)
{
    QList<qsizetype> starts;
    return appendLineStarts(paragraph, lineStart, 1, starts) ? starts.first() : paragraph.size();
}

int LayoutLineCounter::appendLineStarts(
    QStringView paragraph, qsizetype lineStart, int maxLines, QList<qsizetype> &starts)
{
    int appended = 0;
    qsizetype stretch = kStretch;
    while (appended < maxLines && lineStart < paragraph.size()) {
        const qsizetype end = std::min(paragraph.size(), lineStart + stretch);
        const bool whole = end == paragraph.size();
        QTextLayout layout(paragraph.sliced(lineStart, end - lineStart).toString(), m_font);
        layout.setTextOption(m_option);
        layout.setCacheEnabled(false);
        layout.beginLayout();
        QList<qsizetype> found; // line starts after the first, in the stretch
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(m_lineWidth);
            if (line.lineNumber() > 0)
                found.append(lineStart + line.textStart());
        }
        layout.endLayout();
        // The stretch's last line may be cut short by its end: only a whole paragraph's counts.
        if (!whole && !found.isEmpty())
            found.removeLast();
        if (found.isEmpty()) {
            if (whole)
                break;
            stretch *= 2; // one line longer than the stretch
            continue;
        }
        const int take = int(std::min<qsizetype>(found.size(), maxLines - appended));
        starts.append(found.first(take));
        appended += take;
        lineStart = starts.last();
    }
    return appended;
}
