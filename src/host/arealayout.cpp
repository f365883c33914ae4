#include "arealayout.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

AreaLayout::AreaLayout(QTextDocument *document)
    : QPlainTextDocumentLayout(document)
{ }

void AreaLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    QTextDocument *doc = document();
    const QTextBlock block = doc->findBlock(from);
    // A block keeps its lines, and their width, until the area's width changes.
    const bool withinOneLaidOutLine = doc->blockCount() == m_blockCount && block.isValid()
        && block.length() > 0 && block.layout()->lineCount() > 0
        && doc->findBlock(std::max(0, from + charsRemoved + charsAdded - 1)) == block;
    if (!withinOneLaidOutLine) {
        QPlainTextDocumentLayout::documentChanged(from, charsRemoved, charsAdded);
        m_blockCount = doc->blockCount();
        return;
    }
    // What Qt's layout does for such a change, but for looking for the widest line.
    const qreal oldHeight = blockBoundingRect(block).height();
    layOutBlock(block, block.layout()->lineAt(0).width());
    if (blockBoundingRect(block).height() == oldHeight)
        emit updateBlock(block);
    else
        emit update(QRectF(0., -doc->documentMargin(), 1000000000., 1000000000.));
}

void AreaLayout::layOutBlock(const QTextBlock &block, qreal lineWidth)
{
    QTextDocument *doc = document();
    const qreal margin = doc->documentMargin();
    QTextLayout *layout = block.layout();
    layout->setTextOption(doc->defaultTextOption());
    qreal height = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(margin, height));
        height += line.height();
        if (line.leading() < 0)
            height += std::ceil(line.leading());
    }
    layout->endLayout();

    const int lineCountBefore = doc->lineCount();
    QTextBlock(block).setLineCount(block.isVisible() ? layout->lineCount() : 0);
    if (doc->lineCount() != lineCountBefore)
        emit documentSizeChanged(documentSize());
}
