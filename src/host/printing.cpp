#include "printing.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QTextDocument>

void printPlainText(QPagedPaintDevice &device, const QString &text, const QFont &font)
{
    QTextDocument document;
    document.setDefaultFont(font);
    // QTextDocument reads both CR and LF as line breaks: drop the LF of each pair, in one pass.
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && i > 0 && text[i - 1] == u'\r')
            continue;
        lines.append(text[i]);
    }
    document.setPlainText(lines);
    document.print(&device);
}
