#include "recoveryoffer.h"

#include "document/document.h"
#include "documentfile.h"
#include "documentformat.h"
#include "host/host.h"
#include "journalkeeper.h"
#include "mainwindow.h"
#include "protectionmarker.h"
#include "recovery/journalreader.h"
#include "recovery/saveguard.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace RecoveryOffer {

namespace {

const QString kTitle = QStringLiteral("Tarvex: Recovery");

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QLocale english()
{
    return QLocale(QLocale::English, QLocale::UnitedKingdom);
}

// ---- Saves in place that were cut off ---------------------------------------------------------

QByteArray bytesOf(const QString &path, bool &exists)
{
    QFile file(path);
    exists = file.open(QIODevice::ReadOnly);
    return exists ? file.readAll() : QByteArray();
}

void offerSaveGuards(Host &host, const RecoveryFolder &folder)
{
    for (SaveGuard::Orphan &guard : SaveGuard::orphans(folder)) {
        bool exists = false;
        const QByteArray current = bytesOf(guard.path, exists);
        // Whole, or never begun: nothing to put back.
        if (exists && guard.outcome(current) != SaveGuard::Outcome::Torn) {
            guard.file.remove();
            continue;
        }
        const QString state = exists
            ? QStringLiteral("%1 holds the start of the new text over the rest of the old one.")
            : QStringLiteral("%1 is no longer there.");
        const int answer = host.choiceBox({ QStringLiteral("The save of %1 was interrupted: "
                                                           "restore the file as it was?\n\n%2 "
                                                           "Restore writes the old content "
                                                           "back; Discard leaves the file as it "
                                                           "is.")
                                                .arg(fileName(guard.path), state.arg(guard.path)),
            kTitle, Host::Icon::Question,
            { QStringLiteral("Restore"), QStringLiteral("Not Now"), QStringLiteral("Discard") }, 0,
            1 });
        if (answer == 1)
            continue;
        QString error;
        if (answer == 0 && !guard.restore(error)) {
            host.messageBox(QStringLiteral("Could not restore the file %1\n\n%2\n\nIts old content "
                                           "is kept for the next start.")
                                .arg(guard.path, error),
                kTitle, Host::Icon::Exclamation, Host::Buttons::Ok);
            continue;
        }
        guard.file.remove();
    }
}

// ---- Journals ---------------------------------------------------------------------------------

// What a journal gives back, worked out before it is offered.
struct Offer
{
    bool worthless = false; // its text is its file's, or empty: nothing to offer
    bool replayable = false;
    bool onFile = false; // recovered onto its file, which still holds the bytes it began from
    QString base; // that file's text
    JournalOrigin fileOrigin; // and its bytes as read now
    TextEncoding encoding = TextEncoding::Windows1252; // the one the journal's document had
    QString text;
    bool damaged = false;
    bool fileGone = false;
};

Offer prepare(const JournalContent &content)
{
    Offer offer;
    const JournalOrigin &origin = content.origin;
    std::optional<LoadResult> file;
    if (!origin.isUntitled()) {
        // In the encoding the document had, which may not be the one its bytes suggest.
        file = readDocumentFile(
            origin.path, {}, isUtf8(DocumentFormat::encodingFromJournal(origin.encoding)));
        offer.fileGone = !file->ok;
        offer.onFile
            = file->ok && file->origin.size == origin.size && file->origin.hash == origin.hash;
    }
    offer.replayable = !content.needsBase() || offer.onFile;
    if (!offer.replayable)
        return offer;
    const JournalReplay replayed = content.replay(offer.onFile ? file->text : QString());
    offer.text = replayed.text;
    offer.damaged = content.damaged || replayed.damaged;
    offer.worthless = file && file->ok ? offer.text == file->text : offer.text.isEmpty();
    if (offer.onFile) {
        offer.base = file->text;
        offer.fileOrigin = file->origin;
        offer.encoding = file->encoding;
    } else {
        offer.encoding = DocumentFormat::encodingFromJournal(origin.encoding);
    }
    return offer;
}

QString describe(const JournalContent &content, const Offer &offer)
{
    const QString path = content.origin.path;
    const QString name = fileName(path);
    const QString when = english().toString(
        QDateTime::fromMSecsSinceEpoch(content.lastRecordMs), QStringLiteral("d MMM yyyy, HH:mm"));
    QString prompt = content.origin.isUntitled()
        ? QStringLiteral("An untitled document from %1").arg(when)
        : QStringLiteral("Unsaved changes to %1 from %2").arg(name, when);
    if (offer.replayable)
        prompt += QStringLiteral(", %1 characters").arg(english().toString(offer.text.size()));
    prompt += u'.';
    const QString since = offer.fileGone ? QStringLiteral("%1 is no longer there").arg(path)
                                         : QStringLiteral("%1 has changed since").arg(path);
    if (!offer.replayable) {
        prompt += QStringLiteral("\n\n%1, and the changes were recorded against its earlier "
                                 "content: they cannot be put back.")
                      .arg(since);
        return prompt;
    }
    if (offer.onFile)
        prompt += QStringLiteral("\n\nRecover puts the text in the window; nothing is written "
                                 "to %1 until you save it.")
                      .arg(name);
    else if (!content.origin.isUntitled())
        prompt += QStringLiteral("\n\n%1: Recover puts the text in a new untitled document.")
                      .arg(since);
    if (offer.damaged)
        prompt += QStringLiteral("\n\nThe record is damaged: Recover gives the text as it was up "
                                 "to the damage.");
    return prompt;
}

// The recovered text becomes the window's document, modified, with its file where it still holds
// the bytes the journal began from; the journal that keeps it is on disk before the old one goes.
bool putIn(MainWindow &window, const JournalContent &content, const Offer &offer)
{
    Document &document = window.document();
    JournalKeeper &journal = window.journal();
    if (offer.onFile) {
        document.load(TextBuffer(offer.base), content.origin.path, offer.encoding);
        journal.setFileOrigin(offer.fileOrigin, true);
    } else {
        document.load(TextBuffer(), std::nullopt, offer.encoding);
    }
    document.setText(offer.text);
    if (!offer.text.isEmpty() && offer.text.front() == kProtectionMarker)
        document.setLocked(true);
    return journal.flushToDisk() && !journal.filePath().isEmpty();
}

enum Answer { Recover, NotNow, Discard };

// Recover, Not Now and Discard; without a text to give, Not Now and Discard.
Answer ask(Host &host, const JournalContent &content, const Offer &offer)
{
    const QString prompt = describe(content, offer);
    if (!offer.replayable) {
        const int answer = host.choiceBox({ prompt, kTitle, Host::Icon::Exclamation,
            { QStringLiteral("Not Now"), QStringLiteral("Discard") }, 0, 0 });
        return answer == 1 ? Discard : NotNow;
    }
    const int answer = host.choiceBox({ prompt, kTitle, Host::Icon::Question,
        { QStringLiteral("Recover"), QStringLiteral("Not Now"), QStringLiteral("Discard") }, 0,
        1 });
    return answer == 0 ? Recover : answer == 2 ? Discard : NotNow;
}

} // namespace

bool offerAtStart(MainWindow &window, const QString &fileAsked)
{
    JournalKeeper &journal = window.journal();
    if (!journal.isOpen())
        return false;
    Host &host = window.host();
    offerSaveGuards(host, journal.folder());

    std::vector<JournalReader::Orphan> orphans = JournalReader::orphans(journal.folder());
    std::sort(orphans.begin(), orphans.end(), [](const auto &a, const auto &b) {
        return a.content.lastRecordMs > b.content.lastRecordMs;
    });
    bool recovered = false;
    int waiting = 0;
    for (JournalReader::Orphan &orphan : orphans) {
        const JournalContent &content = orphan.content;
        if (!content.hasSnapshot && content.changes.isEmpty()) {
            orphan.file.remove(); // begun, but no change reached the disk
            continue;
        }
        if (recovered) {
            ++waiting;
            continue;
        }
        const Offer offer = prepare(content);
        if (offer.worthless) {
            orphan.file.remove();
            continue;
        }
        const Answer answer = ask(host, content, offer);
        if (answer == Discard) {
            orphan.file.remove();
        } else if (answer == Recover) {
            recovered = true;
            // Kept for the next start should the new journal not be on disk.
            if (putIn(window, content, offer))
                orphan.file.remove();
        }
    }
    QStringList told;
    if (waiting > 0) {
        told << (waiting == 1 ? QStringLiteral("1 more unsaved document waits for the next start "
                                               "of Tarvex.")
                              : QStringLiteral("%1 more unsaved documents wait for the next start "
                                               "of Tarvex.")
                                    .arg(waiting));
    }
    if (recovered && !fileAsked.isEmpty())
        told << QStringLiteral("%1 was not opened: the window holds the recovered document.")
                    .arg(fileAsked);
    if (!told.isEmpty())
        host.messageBox(
            told.join(QStringLiteral("\n\n")), kTitle, Host::Icon::Information, Host::Buttons::Ok);
    return recovered;
}

} // namespace RecoveryOffer
