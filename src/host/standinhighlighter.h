#pragma once

#include <QColor>
#include <QSyntaxHighlighter>

/// Draws the stand-in glyphs of bare CR and LF characters in a muted colour. The colour lives in
/// the layout only, so text typed next to a stand-in keeps the ordinary format.
class StandInHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit StandInHighlighter(QTextDocument *document);

    void setColor(const QColor &color);

protected:
    void highlightBlock(const QString &text) override;

private:
    QColor m_color;
};
