#pragma once

#include <QByteArrayView>
#include <QtGlobal>

/// XXH64 (seed 0): a 64-bit hash of bytes that is the same on every machine and Qt build, at
/// several GB/s. It tells whether a file still holds the bytes a journal was recorded on, and
/// guards each journal record against damage. Bytes can be added in pieces as they are read.
class ContentHash
{
public:
    ContentHash();
    void addData(QByteArrayView bytes);
    quint64 result() const;

    static quint64 hash(QByteArrayView bytes);

private:
    quint64 m_lanes[4];
    quint64 m_length = 0;
    unsigned char m_pending[32];
    int m_pendingSize = 0;
};
