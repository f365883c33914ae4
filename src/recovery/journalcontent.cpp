#include "journalcontent.h"

#include "replaytext.h"

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
