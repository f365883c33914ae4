#pragma once

#include "host/displaylinecounter.h"
#include "layoutcache.h"
#include "linesumtree.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class Document;
class QTextLayout;

/// The document's display lines at the view's font and width: how many each paragraph takes
/// (kept in a tree of sums), where the lines of a long paragraph start (a checkpoint every
/// sixteen lines), and the laid-out stretches the view shows. A new text or width is counted in
/// idle time, a few milliseconds at a time, the paragraphs the view asks for first; an edit
/// re-wraps from the checkpoint before it only until the line breaks agree with the old ones.
class DisplayLines : public QObject
{
    Q_OBJECT

public:
    explicit DisplayLines(const Document &document, QObject *parent = nullptr);
    ~DisplayLines() override;

    void setFormat(const QFont &font, qreal lineWidth);
    qreal lineWidth() const { return m_counter->lineWidth(); }

    /// Display lines in all; while counting, paragraphs not counted yet count as estimated.
    qint64 total() const { return m_tree.total(); }
    bool isSettled() const { return m_tree.uncounted() == 0; }

    /// One display line: its paragraph and its index among that paragraph's lines.
    struct Line
    {
        qsizetype paragraph = 0;
        int index = 0;
        bool operator==(const Line &) const = default;
    };
    /// Display line `n` of the whole text, counting what it needs to know.
    Line lineAt(qint64 n);
    qint64 indexOf(const Line &line) const;
    int linesOf(qsizetype paragraph);
    /// The line after (or before) `line`; the same line at the end (or start) of the text.
    Line next(const Line &line);
    Line previous(const Line &line);

    /// A laid-out stretch of a paragraph: its layout's line 0 is the paragraph's line
    /// `firstLine`, its text the paragraph's [from, to) with each bare LF as its stand-in.
    struct Stretch
    {
        QTextLayout *layout = nullptr;
        qsizetype paragraph = 0;
        qsizetype start = 0; // the paragraph's position in the document
        qsizetype from = 0;
        qsizetype to = 0;
        int firstLine = 0;
        bool last = true; // holds the paragraph's end
    };
    Stretch stretchOfLine(const Line &line);
    /// The stretch holding `offset` of the paragraph (its end is in the last stretch).
    Stretch stretchAt(qsizetype paragraph, qsizetype offset);
    /// The display line holding a document position.
    Line lineOfPosition(qsizetype position);
    quint64 layoutGeneration() const { return m_layouts.generation(); }

    /// Where a paragraph starts and ends in the document, and which holds a position.
    qsizetype paragraphStart(qsizetype paragraph) const;
    qsizetype paragraphEnd(qsizetype paragraph) const;
    qsizetype paragraphAt(qsizetype position) const;
    qsizetype paragraphCount() const { return m_tree.size(); }

    /// Whether the lines follow the document's text as it is: false between an edit and its
    /// edited() (the document moves its selection in between).
    bool isCurrent() const;
    /// Follow the document.
    void edited(qsizetype position, qsizetype removed, qsizetype added);
    void reset();

    /// A long paragraph is walked in stretches of this many characters at most.
    static constexpr qsizetype kLongParagraph = 8192;

signals:
    void totalChanged();
    /// Counting has ended: total() is exact.
    void settled();

private:
    struct Checkpoint
    {
        int line = 0;
        qsizetype start = 0;
    };
    // The wrap of a long paragraph as far as it has been walked: a checkpoint every sixteen
    // lines, and the last line start found.
    struct Wraps
    {
        std::vector<Checkpoint> points;
        Checkpoint walked;
        qsizetype length = 0;
        bool complete = false;
        int estimate = 0; // lines in all as last known, while an edit's re-wrap is unfinished
    };

    QString paragraphText(qsizetype start, qsizetype from, qsizetype length) const;
    std::pair<qsizetype, qsizetype> bounds(qsizetype paragraph) const;
    void countParagraph(qsizetype paragraph, qint64 deadlineNs);
    bool hasLine(qsizetype paragraph, int index);
    bool walk(qsizetype paragraph, Wraps &wraps, int untilLine, qsizetype untilOffset,
        qint64 deadlineNs);
    void noteWalk(qsizetype paragraph, const Wraps &wraps);
    void rewrapWithin(qsizetype paragraph, qsizetype offset, qsizetype removed, qsizetype added);
    Wraps &wrapsOf(qsizetype paragraph);
    Stretch layOut(qsizetype paragraph, const Wraps *wraps, std::size_t checkpoint);
    void countSome();
    void startCounting();

    const Document &m_document;
    QFont m_font;
    std::unique_ptr<DisplayLineCounter> m_counter;
    LineSumTree m_tree;
    std::map<qsizetype, Wraps> m_wraps; // long paragraphs only
    LayoutCache m_layouts;
    QTimer m_idle;
    qsizetype m_countFrom = 0;
    qsizetype m_size = 0;
    qsizetype m_paragraphs = 1; // in the document as it is now, ahead of the tree in an edit
};
