#pragma once

#include <QPlainTextDocumentLayout>

/// The layout of the edit area's document: Qt's plain-text layout, except that a change within
/// one line is laid out here. Qt's own layout looks through every line of the document for the
/// widest one whenever the widest line gets narrower (a capital made small, a character
/// deleted), which costs tens of milliseconds a key in a big document. The area wraps its lines
/// at its width and has no horizontal scroll bar, so the widest line does not matter to it.
class AreaLayout : public QPlainTextDocumentLayout
{
    Q_OBJECT

public:
    explicit AreaLayout(QTextDocument *document);

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    void layOutBlock(const QTextBlock &block, qreal lineWidth);

    int m_blockCount = 1; // as Qt's layout last saw it
};
