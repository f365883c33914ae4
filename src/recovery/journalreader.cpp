#include "journalreader.h"

#include "journalformat.h"

namespace JournalReader {

std::vector<Orphan> orphans(const RecoveryFolder &folder)
{
    // Its journal is whole beside it: the snapshot meant to replace it was never finished.
    for (OrphanFile &partial : OrphanFile::find(folder, u".partial"))
        partial.remove();
    std::vector<Orphan> found;
    for (OrphanFile &file : OrphanFile::find(folder, u".journal")) {
        QByteArray bytes;
        if (!file.read(bytes))
            continue;
        JournalContent content = JournalFormat::parse(bytes);
        bytes.clear();
        if (content.newerVersion)
            continue;
        // Its writer went before the start was synced: no change was recorded.
        if (!content.isJournal) {
            file.remove();
            continue;
        }
        found.push_back({ std::move(file), std::move(content) });
    }
    return found;
}

} // namespace JournalReader
