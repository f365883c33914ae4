#pragma once

#include <QFont>
#include <QTextOption>

#include <memory>
#include <unordered_map>

class QTextLayout;

/// Laid-out stretches of paragraphs, the few the view shows, kept while they are used and
/// dropped when many others have been laid out since. A stretch is a whole paragraph or, in a
/// long one, the display lines between two of its wrap checkpoints.
class LayoutCache
{
public:
    struct Key
    {
        qsizetype paragraph = 0;
        qsizetype from = 0; // where the stretch starts in its paragraph
        bool operator==(const Key &) const = default;
    };

    LayoutCache();
    ~LayoutCache();

    void setFormat(const QFont &font, QTextOption::WrapMode wrapMode, qreal lineWidth);
    /// The stretch laid out before, or nullptr.
    QTextLayout *find(const Key &key);
    /// Lays out `text` as the stretch at `key`; each line one display line of the width.
    QTextLayout *add(const Key &key, const QString &text);
    /// Drops the stretches of paragraphs from `from` on; those after `from + removed` are
    /// renumbered by `shift`.
    void dropFrom(qsizetype from, qsizetype removed, qsizetype shift);
    /// Within one paragraph: drops the stretches from `from` to before `keptFrom` (in the old
    /// text) and moves those from `keptFrom` on by `shift` characters; all from `from` on go
    /// when `keptFrom` is negative.
    void dropWithin(qsizetype paragraph, qsizetype from, qsizetype keptFrom, qsizetype shift);
    void clear();
    /// Goes up each time a stretch that may be in use is dropped.
    quint64 generation() const { return m_generation; }

private:
    struct Entry
    {
        std::unique_ptr<QTextLayout> layout;
        quint64 used = 0;
    };

    struct KeyHash
    {
        std::size_t operator()(const Key &key) const
        {
            return std::hash<qsizetype>()(key.paragraph * 1000003 + key.from);
        }
    };
    std::unordered_map<Key, Entry, KeyHash> m_entries;
    QFont m_font;
    QTextOption m_option;
    qreal m_lineWidth = 0;
    quint64 m_clock = 0;
    quint64 m_generation = 0;
};
