#include "journalcontent.h"

#include "replaytext.h"

qsizetype JournalContent::lengthAfterReplay(qsizetype baseLength) const
{
    qsizetype length = hasSnapshot ? snapshot.size() : baseLength;
    for (const JournalChange &change : changes)
        length += change.added.size() - change.removed;
    return length;
}

JournalReplay JournalContent::replay(const QString &base) const
{
    ReplayText text(hasSnapshot ? snapshot : base);
    JournalReplay replayed;
    for (const JournalChange &change : changes) {
        if (!text.replace(change.position, change.removed, change.added)) {
            replayed.damaged = true;
            break;
        }
        ++replayed.applied;
    }
    replayed.text = text.toString();
    return replayed;
}
