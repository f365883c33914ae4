#include "standinhighlighter.h"

#include "textrendering.h"

StandInHighlighter::StandInHighlighter(QTextDocument *document)
    : QSyntaxHighlighter(document)
    , m_color(Qt::gray)
{
}

void StandInHighlighter::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    rehighlight();
}

void StandInHighlighter::highlightBlock(const QString &text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        if (ch != TextRendering::crStandIn && ch != TextRendering::lfStandIn)
            continue;
        qsizetype end = i + 1;
        while (end < n
               && (text.at(end) == TextRendering::crStandIn
                   || text.at(end) == TextRendering::lfStandIn))
            ++end;
        setFormat(int(i), int(end - i), m_color);
        i = end - 1;
    }
}
