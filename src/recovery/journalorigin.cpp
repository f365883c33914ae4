#include "journalorigin.h"

#include "contenthash.h"

#include <QFile>

#include <sys/stat.h>

JournalOrigin JournalOrigin::ofFile(
    const QString &path, QByteArrayView bytes, const QString &encoding)
{
    JournalOrigin origin { path, bytes.size(), 0, ContentHash::hash(bytes), encoding };
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0)
        origin.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return origin;
}
