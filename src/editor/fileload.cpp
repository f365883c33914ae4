#include "fileload.h"

#include "document/document.h"
#include "documentfile.h"
#include "host/host.h"
#include "memoryneed.h"

#include <QFileInfo>

#include <utility>

FileLoad::FileLoad(Host &host, QWidget *owner, Words words, std::function<bool()> stopAsked)
    : m_host(host)
    , m_words(std::move(words))
    , m_stopAsked(std::move(stopAsked))
    , m_progress(host.showProgress(owner, m_words.progressLabel, m_words.progressTitle))
{
}

FileLoad::~FileLoad() = default;

std::optional<TextBuffer> FileLoad::read(const QString &path, std::optional<bool> utf8)
{
    const qint64 fileBytes = QFileInfo(path).size();
    if (const std::optional<QString> tooBig = MemoryNeed::refusal(fileBytes, std::nullopt,
            MemoryNeed::toReadAndShow(fileBytes), m_host.memoryAvailable())) {
        refuse(path, *tooBig);
        return std::nullopt;
    }
    const auto progress = [this](int percent) {
        m_progress->setValue(percent * 9 / 10);
        return !stopped();
    };
    BufferLoad loaded = readDocumentBuffer(path, progress, utf8);
    if (loaded.cancelled) {
        finish();
        return std::nullopt;
    }
    if (!loaded.ok) {
        if (m_words.tellUnreadable)
            refuse(path, loaded.error);
        finish();
        return std::nullopt;
    }
    m_origin = loaded.origin;
    m_encoding = loaded.encoding;
    // The lines as the area counts them: a paragraph ends at each CR.
    const qint64 lines = loaded.text.crCount();
    const qint64 bytesNeeded
        = MemoryNeed::toShow(loaded.text.size(), lines, !isUtf8(loaded.encoding));
    if (const std::optional<QString> tooBig
        = MemoryNeed::refusal(fileBytes, lines, bytesNeeded, m_host.memoryAvailable())) {
        refuse(path, *tooBig);
        return std::nullopt;
    }
    return std::move(loaded.text);
}

bool FileLoad::prepareIn(Document &document, TextBuffer text)
{
    if (stopped()) {
        finish();
        return false;
    }
    document.prepareLoad(std::move(text));
    m_progress->setValue(100);
    return true;
}

void FileLoad::finish()
{
    m_progress.reset();
}

bool FileLoad::stopped() const
{
    return (m_progress && m_progress->wasCanceled()) || (m_stopAsked && m_stopAsked());
}

// The progress window goes before the box, so that the two never show together.
void FileLoad::refuse(const QString &path, const QString &reason)
{
    finish();
    m_host.messageBox(QStringLiteral("%1 %2\n\n%3").arg(m_words.failure, path, reason),
        m_words.boxTitle, Host::Icon::Exclamation, Host::Buttons::Ok);
}
