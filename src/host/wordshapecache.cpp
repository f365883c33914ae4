#include "wordshapecache.h"

#include <algorithm>

namespace {

// Real text has a few tens of thousands of distinct words; these bounds keep the cache under
// about 20 MB when a text of distinct tokens (numbers, identifiers) runs through it. A word has
// no more clusters or segments than characters.
constexpr qsizetype kMaxSlots = qsizetype(1) << 17;
constexpr qsizetype kMaxRecords = kMaxSlots / 2;
// The slot table starts small and grows with the words, so that a text of few distinct words
// looks up a table that stays in the processor's cache.
constexpr qsizetype kFirstSlots = 1024;
constexpr qsizetype kMaxCharacters = qsizetype(1) << 19;

} // namespace

// Storage is reserved whole, so that records and their clusters stay where they are until the
// cache is emptied.
WordShapeCache::WordShapeCache()
    : m_slots(kFirstSlots, Slot { 0, 0 })
{
    m_records.reserve(kMaxRecords);
    m_keys.reserve(kMaxCharacters);
    m_clusters.reserve(kMaxCharacters);
    m_segments.reserve(kMaxCharacters);
}

inline bool WordShapeCache::matches(
    const Record &record, quint64 hash, QStringView word, bool latinContext) const
{
    if (record.hash != hash || record.keyLength != word.size()
        || record.latinContext != latinContext)
        return false;
    const char16_t *key
        = word.size() <= inlineKeyLength ? record.inlineKey : m_keys.data() + record.keyAt;
    const char16_t *text = word.utf16();
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (key[i] != text[i])
            return false;
    }
    return true;
}

const WordShapeCache::Record *WordShapeCache::find(
    quint64 hash, QStringView word, bool latinContext) const
{
    const quint32 tag = quint32(hash >> 32);
    const qsizetype mask = qsizetype(m_slots.size()) - 1;
    for (qsizetype slot = qsizetype(hash) & mask;; slot = (slot + 1) & mask) {
        const Slot &at = m_slots[slot];
        if (at.record == 0)
            return nullptr;
        if (at.tag == tag && matches(m_records[at.record - 1], hash, word, latinContext))
            return &m_records[at.record - 1];
    }
}

const WordShapeCache::Record &WordShapeCache::insert(quint64 hash, QStringView word,
    bool latinContext, std::span<const GlyphCluster> clusters,
    std::span<const WordSegment> segments, bool breaksKnown)
{
    const bool longKey = word.size() > inlineKeyLength;
    if (qsizetype(m_records.size()) >= kMaxRecords
        || qsizetype(m_keys.size()) + word.size() > kMaxCharacters
        || qsizetype(m_clusters.size() + clusters.size()) > kMaxCharacters
        || qsizetype(m_segments.size() + segments.size()) > kMaxCharacters)
        clear();
    Record record {};
    record.hash = hash;
    record.keyLength = quint16(word.size());
    record.latinContext = latinContext;
    record.breaksKnown = breaksKnown;
    if (longKey) {
        record.keyAt = quint32(m_keys.size());
        m_keys.insert(m_keys.end(), word.utf16(), word.utf16() + word.size());
    } else {
        std::copy(word.utf16(), word.utf16() + word.size(), record.inlineKey);
    }
    record.clustersAt = quint32(m_clusters.size());
    record.clusterCount = quint16(clusters.size());
    m_clusters.insert(m_clusters.end(), clusters.begin(), clusters.end());
    if (breaksKnown && !segments.empty()) {
        record.firstSegment = segments.front();
        record.segmentsAt = quint32(m_segments.size());
        record.segmentCount = quint16(segments.size());
        m_segments.insert(m_segments.end(), segments.begin(), segments.end());
    }
    m_records.push_back(record);
    if (qsizetype(m_records.size()) * 2 > qsizetype(m_slots.size())) {
        m_slots.assign(m_slots.size() * 2, Slot { 0, 0 });
        for (qsizetype i = 0; i < qsizetype(m_records.size()); ++i)
            place(i);
    } else {
        place(qsizetype(m_records.size()) - 1);
    }
    return m_records.back();
}

void WordShapeCache::place(qsizetype index)
{
    const quint64 hash = m_records[index].hash;
    const qsizetype mask = qsizetype(m_slots.size()) - 1;
    qsizetype slot = qsizetype(hash) & mask;
    while (m_slots[slot].record != 0)
        slot = (slot + 1) & mask;
    m_slots[slot] = Slot { quint32(index + 1), quint32(hash >> 32) };
}

void WordShapeCache::clear()
{
    m_slots.assign(kFirstSlots, Slot { 0, 0 });
    m_records.clear();
    m_keys.clear();
    m_clusters.clear();
    m_segments.clear();
    ++m_generation;
}
