#include "journalkeeper.h"

#include "document/document.h"
#include "protectionmarker.h"
#include "recovery/journalwriter.h"

#include <QTimer>

#include <utility>

namespace {

// A text up to this long is written whole when its journal begins: a few milliseconds once,
// and the work comes back even when its file has changed since. A longer one is recorded
// against its file's bytes until its first compaction.
constexpr qsizetype kWholeAtStart = 512 * 1024;

} // namespace

JournalKeeper::JournalKeeper(Document &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
    m_flushTimer = new QTimer(this);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(1000);
    connect(m_flushTimer, &QTimer::timeout, this, &JournalKeeper::flushNow);
    connect(&document, &Document::edited, this, &JournalKeeper::onEdited);
    connect(&document, &Document::changed, this, &JournalKeeper::onChanged);
    connect(&document, &Document::loaded, this, &JournalKeeper::onLoaded);
    connect(&document, &Document::stateChanged, this, &JournalKeeper::onStateChanged);
}

JournalKeeper::~JournalKeeper() = default;

bool JournalKeeper::open()
{
    if (isOpen())
        return true;
    if (!m_folder.open())
        return false;
    m_writer = std::make_unique<JournalWriter>(m_folder);
    return true;
}

void JournalKeeper::setFileOrigin(const JournalOrigin &origin, bool loadsBack)
{
    m_origin = origin;
    m_originGivesText = loadsBack;
}

void JournalKeeper::setFlushDelay(int milliseconds)
{
    m_flushTimer->setInterval(milliseconds);
}

QString JournalKeeper::filePath() const
{
    return m_writer ? m_writer->filePath() : QString();
}

bool JournalKeeper::flushToDisk()
{
    if (!m_writer)
        return false;
    m_flushTimer->stop();
    m_snapshotHeld = false;
    const bool written
        = m_writer->flush() || (m_writer->needsCompaction(m_document.size()) && writeSnapshot());
    return m_writer->waitForDisk() && written;
}

void JournalKeeper::keepForNextStart()
{
    flushToDisk();
    m_keptForNextStart = true;
}

void JournalKeeper::discard()
{
    m_flushTimer->stop();
    m_keptForNextStart = false;
    m_snapshotCurrent = false;
    m_snapshotHeld = false;
    if (m_writer)
        m_writer->discard();
}

// An edit that no change announces before the document is loaded is a correction made as the
// text came in: the text no longer is its file's.
void JournalKeeper::onEdited()
{
    m_editsUnannounced = true;
}

void JournalKeeper::onLoaded()
{
    discard();
    // A file's text waits for the file commands to tell the bytes it came from; until then it
    // would be written whole.
    m_origin = JournalOrigin();
    m_originGivesText = !m_document.path().has_value();
    m_loadCorrected = std::exchange(m_editsUnannounced, false);
    m_failed = false;
}

void JournalKeeper::onStateChanged()
{
    if (!m_writer || m_document.isPreparing())
        return;
    if (!m_document.isModified()) {
        // Saved: the text is in the file, whose bytes the save has told.
        if (m_document.lastStep() == Document::LastStep::Saved) {
            m_loadCorrected = false;
            m_failed = false;
        }
        discard();
        return;
    }
    // Locked: a protected text, which the journal must hold alone.
    if (m_document.isLocked() && m_writer->isActive() && !m_snapshotCurrent)
        writeSnapshot();
}

void JournalKeeper::onChanged(qsizetype position, qsizetype removed, qsizetype added)
{
    m_editsUnannounced = false;
    m_keptForNextStart = false;
    if (!m_writer || m_failed)
        return;
    const bool beginning = !m_writer->isActive();
    if (beginning && !begin())
        return;
    const bool baseUnknown = !m_originGivesText || m_loadCorrected;
    // Protect has just put the protected text in: the plain one goes from the folder at once,
    // without waiting for the lock that follows its message.
    const bool protectedNow = position == 0 && added > 0 && m_document.at(0) == kProtectionMarker;
    if ((beginning && (baseUnknown || m_document.size() <= kWholeAtStart)) || protectedNow) {
        if (writeSnapshot())
            return;
        if (beginning && baseUnknown) {
            // Changes against a text that nothing can give back are worth nothing.
            m_writer->discard();
            m_failed = true;
            return;
        }
    }
    m_writer->recordChange(position, removed, m_document.mid(position, added));
    m_snapshotCurrent = false;
    if (!m_writer->needsCompaction(m_document.size()) || !writeSnapshot())
        flushSoon();
}

bool JournalKeeper::begin()
{
    if (m_writer->start(m_origin))
        return true;
    // Not tried again for every key: the next load or save tries again.
    m_failed = true;
    return false;
}

// The whole text, in the place of the journal so far. One that failed (a full disk) is not tried
// again before the next flush, so that keys do not each pay for a try.
bool JournalKeeper::writeSnapshot()
{
    if (m_snapshotHeld || !m_writer->writeSnapshot(m_document.text())) {
        m_snapshotHeld = true;
        return false;
    }
    m_snapshotCurrent = true;
    return true;
}

void JournalKeeper::flushSoon()
{
    if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

void JournalKeeper::flushNow()
{
    m_snapshotHeld = false;
    if (!m_writer || m_writer->flush())
        return;
    // A failed write or sync: only the whole text makes the journal whole again.
    if (m_writer->needsCompaction(m_document.size()) && !writeSnapshot())
        flushSoon();
}
