#pragma once

#include "journalcontent.h"
#include "orphanfile.h"
#include "recoveryfolder.h"

#include <vector>

/// Finds the journals that no running instance keeps, to be offered back at start.
namespace JournalReader {

/// A journal left by an instance that is gone, locked here until dropped, and what it holds.
struct Orphan
{
    OrphanFile file;
    JournalContent content;
};

/// The orphaned journals in `folder`, read. Files that hold no work are removed on the way (a
/// snapshot that was never finished, a journal cut inside its start); a journal written in a
/// later format is left alone and not listed.
std::vector<Orphan> orphans(const RecoveryFolder &folder);

} // namespace JournalReader
