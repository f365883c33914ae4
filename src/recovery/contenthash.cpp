#include "contenthash.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint64 kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr quint64 kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr quint64 kPrime3 = 0x165667B19E3779F9ULL;
constexpr quint64 kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr quint64 kPrime5 = 0x27D4EB2F165667C5ULL;

inline quint64 rotateLeft(quint64 value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

inline quint64 read64(const unsigned char *at)
{
    return qFromLittleEndian<quint64>(at);
}

inline quint64 read32(const unsigned char *at)
{
    return qFromLittleEndian<quint32>(at);
}

inline quint64 round(quint64 lane, quint64 input)
{
    lane += input * kPrime2;
    return rotateLeft(lane, 31) * kPrime1;
}

inline quint64 mergeRound(quint64 hash, quint64 lane)
{
    hash ^= round(0, lane);
    return hash * kPrime1 + kPrime4;
}

// Consumes whole 32-byte stripes; returns where the rest starts.
const unsigned char *stripes(quint64 *lanes, const unsigned char *from, const unsigned char *end)
{
    quint64 v1 = lanes[0], v2 = lanes[1], v3 = lanes[2], v4 = lanes[3];
    while (end - from >= 32) {
        v1 = round(v1, read64(from));
        v2 = round(v2, read64(from + 8));
        v3 = round(v3, read64(from + 16));
        v4 = round(v4, read64(from + 24));
        from += 32;
    }
    lanes[0] = v1, lanes[1] = v2, lanes[2] = v3, lanes[3] = v4;
    return from;
}

} // namespace

ContentHash::ContentHash()
    : m_lanes { kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1 }
{ }

void ContentHash::addData(QByteArrayView bytes)
{
    if (bytes.isEmpty()) // an empty view may carry no pointer at all
        return;
    const auto *from = reinterpret_cast<const unsigned char *>(bytes.data());
    const unsigned char *end = from + bytes.size();
    m_length += quint64(bytes.size());
    if (m_pendingSize > 0) {
        const int take = int(qMin<qsizetype>(32 - m_pendingSize, end - from));
        std::memcpy(m_pending + m_pendingSize, from, take);
        m_pendingSize += take;
        from += take;
        if (m_pendingSize < 32)
            return;
        stripes(m_lanes, m_pending, m_pending + 32);
        m_pendingSize = 0;
    }
    from = stripes(m_lanes, from, end);
    m_pendingSize = int(end - from);
    std::memcpy(m_pending, from, m_pendingSize);
}

quint64 ContentHash::result() const
{
    quint64 hash;
    if (m_length >= 32) {
        hash = rotateLeft(m_lanes[0], 1) + rotateLeft(m_lanes[1], 7) + rotateLeft(m_lanes[2], 12)
            + rotateLeft(m_lanes[3], 18);
        for (const quint64 lane : m_lanes)
            hash = mergeRound(hash, lane);
    } else {
        hash = kPrime5; // seed 0: too short for a stripe, the lanes never started
    }
    hash += m_length;
    const unsigned char *at = m_pending;
    const unsigned char *end = m_pending + m_pendingSize;
    for (; end - at >= 8; at += 8)
        hash = rotateLeft(hash ^ round(0, read64(at)), 27) * kPrime1 + kPrime4;
    if (end - at >= 4) {
        hash = rotateLeft(hash ^ (read32(at) * kPrime1), 23) * kPrime2 + kPrime3;
        at += 4;
    }
    for (; at < end; ++at)
        hash = rotateLeft(hash ^ (*at * kPrime5), 11) * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    hash *= kPrime3;
    hash ^= hash >> 32;
    return hash;
}

quint64 ContentHash::hash(QByteArrayView bytes)
{
    ContentHash hash;
    hash.addData(bytes);
    return hash.result();
}
