#include "wordshapecache.h"

#include <algorithm>
#include <cstring>

namespace {

// Real text has a few tens of thousands of distinct words; these bounds keep the cache under
// about 16 MB when a text of distinct tokens (numbers, identifiers) runs through it. A word has
// no more clusters or segments than characters.
constexpr qsizetype kSlots = qsizetype(1) << 17;
constexpr qsizetype kMaxRecords = kSlots / 2;
constexpr qsizetype kMaxCharacters = qsizetype(1) << 19;

} // namespace

// Storage is reserved whole, so that records and their clusters stay where they are until the
// cache is emptied.
WordShapeCache::WordShapeCache()
    : m_slots(kSlots, 0)
{
    m_records.reserve(kMaxRecords);
    m_keys.reserve(kMaxCharacters);
    m_clusters.reserve(kMaxCharacters);
    m_segments.reserve(kMaxCharacters);
}

bool WordShapeCache::matches(
    const Record &record, quint64 hash, QStringView word, bool latinContext) const
{
    return record.hash == hash && record.keyLength == word.size()
        && record.latinContext == latinContext
        && std::memcmp(m_keys.data() + record.keyAt, word.utf16(), word.size() * sizeof(char16_t))
        == 0;
}

const WordShapeCache::Record *WordShapeCache::find(
    quint64 hash, QStringView word, bool latinContext) const
{
    for (qsizetype slot = qsizetype(hash) & (kSlots - 1);; slot = (slot + 1) & (kSlots - 1)) {
        const quint32 index = m_slots[slot];
        if (index == 0)
            return nullptr;
        const Record &record = m_records[index - 1];
        if (matches(record, hash, word, latinContext))
            return &record;
    }
}

const WordShapeCache::Record &WordShapeCache::insert(quint64 hash, QStringView word,
    bool latinContext, std::span<const GlyphCluster> clusters,
    std::span<const WordSegment> segments, bool breaksKnown)
{
    if (qsizetype(m_records.size()) >= kMaxRecords
        || qsizetype(m_keys.size()) + word.size() > kMaxCharacters)
        clear();
    Record record;
    record.hash = hash;
    record.keyAt = quint32(m_keys.size());
    record.keyLength = quint16(word.size());
    record.latinContext = latinContext;
    record.breaksKnown = breaksKnown;
    record.clustersAt = quint32(m_clusters.size());
    record.clusterCount = quint16(clusters.size());
    record.segmentsAt = quint32(m_segments.size());
    record.segmentCount = quint16(breaksKnown ? segments.size() : 0);
    m_keys.insert(m_keys.end(), word.utf16(), word.utf16() + word.size());
    m_clusters.insert(m_clusters.end(), clusters.begin(), clusters.end());
    if (breaksKnown)
        m_segments.insert(m_segments.end(), segments.begin(), segments.end());
    m_records.push_back(record);

    qsizetype slot = qsizetype(hash) & (kSlots - 1);
    while (m_slots[slot] != 0)
        slot = (slot + 1) & (kSlots - 1);
    m_slots[slot] = quint32(m_records.size());
    return m_records.back();
}

void WordShapeCache::clear()
{
    std::fill(m_slots.begin(), m_slots.end(), 0);
    m_records.clear();
    m_keys.clear();
    m_clusters.clear();
    m_segments.clear();
    ++m_generation;
}
