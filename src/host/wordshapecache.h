#pragma once

#include <QStringView>
#include <QtGlobal>

#include <span>
#include <vector>

/// One glyph cluster of a shaped word, as QTextLayout fills lines with it. Widths are in Qt's
/// 26.6 fixed point (1/64 pixel), the unit QTextLayout adds and compares in.
struct GlyphCluster
{
    quint16 start; // first character, from the start of the word
    quint16 length; // characters
    qint32 advance;
    qint32 rightBearing; // of the cluster's glyph, clamped to 0 or less
};

/// A stretch of a word between two of its break opportunities.
struct WordSegment
{
    quint16 end; // character after the segment, from the start of the word
    qint32 width;
    qint32 lastRightBearing; // of its last glyph
};

/// Shaped words by their text, with where they may break, bounded in size: a text of many
/// distinct words empties the cache now and then rather than growing it without limit.
class WordShapeCache
{
public:
    static constexpr qsizetype maxWordLength = 256;
    static constexpr qsizetype inlineKeyLength = 12;

    /// A word: one cache line, with a short key and the first segment in it, since a lookup
    /// is mostly a miss in the processor's cache while a long text streams through.
    struct alignas(64) Record
    {
        quint64 hash;
        char16_t inlineKey[inlineKeyLength];
        quint32 keyAt; // in the key store, when longer than inlineKeyLength
        quint16 keyLength;
        bool latinContext;
        bool breaksKnown; // false: the word's breaks depend on the text around it
        WordSegment firstSegment; // when breaksKnown
        quint16 clusterCount;
        quint16 segmentCount; // when breaksKnown
        quint32 clustersAt;
        quint32 segmentsAt;
    };

    WordShapeCache();

    /// The record of `word` shaped as a Latin word (latinContext) or on its own, or nullptr.
    const Record *find(quint64 hash, QStringView word, bool latinContext) const;
    /// Stores a word; may empty the cache first, which leaves earlier records dangling (the
    /// generation tells). `clusters` and `segments` are no longer than the word.
    const Record &insert(quint64 hash, QStringView word, bool latinContext,
        std::span<const GlyphCluster> clusters, std::span<const WordSegment> segments,
        bool breaksKnown);
    void clear();

    std::span<const GlyphCluster> clusters(const Record &record) const
    {
        return { m_clusters.data() + record.clustersAt, record.clusterCount };
    }
    std::span<const WordSegment> segments(const Record &record) const
    {
        return { m_segments.data() + record.segmentsAt, record.segmentCount };
    }
    qsizetype size() const { return qsizetype(m_records.size()); }
    /// Changes each time the cache is emptied.
    quint64 generation() const { return m_generation; }

private:
    struct Slot
    {
        quint32 record; // index + 1, 0 when free
        quint32 tag; // the high half of the hash, to pass other words by quickly
    };

    bool matches(const Record &record, quint64 hash, QStringView word, bool latinContext) const;
    void place(qsizetype record);

    std::vector<Slot> m_slots; // open addressing
    std::vector<Record> m_records;
    std::vector<char16_t> m_keys;
    std::vector<GlyphCluster> m_clusters;
    std::vector<WordSegment> m_segments;
    quint64 m_generation = 0;
};
