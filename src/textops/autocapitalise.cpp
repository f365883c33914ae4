#include "autocapitalise.h"

#include "autocorrection.h"
#include "document/document.h"

#include <algorithm>

namespace {

// The correction of the document around [from, to), read through a window of the text: a key
// must not make a copy of a big text. A correction that reaches near the window's end may have
// more to do past it, so the window grows until it holds all of it.
std::optional<Autocorrection::Correction> correctionAround(
    const Document &document, qsizetype from, qsizetype to)
{
    for (qsizetype margin = 64;; margin *= 4) {
        const qsizetype windowFrom = std::max<qsizetype>(0, from - margin);
        const qsizetype windowTo = std::min(document.size(), to + margin);
        std::optional<Autocorrection::Correction> correction
            = Autocorrection::correctedAround(document.mid(windowFrom, windowTo - windowFrom),
                from - windowFrom, to - windowFrom);
        if (correction && windowTo < document.size()
            && windowFrom + correction->from + correction->text.size() + 16 > windowTo)
            continue;
        if (correction)
            correction->from += windowFrom;
        return correction;
    }
}

} // namespace

AutoCapitalise::AutoCapitalise(Document &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
    connect(&document, &Document::changeFinishing, this, &AutoCapitalise::onChangeFinishing);
    connect(&document, &Document::reset, this, [this] { m_fixedPoint = false; });
}

void AutoCapitalise::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_fixedPoint = false;
    if (m_document.isEmpty())
        m_capitalDue = true;
}

void AutoCapitalise::beforeKey()
{
    // A locked text takes no keys; a capital would change the protected text behind its back.
    if (!m_capitalDue || m_document.isLocked())
        return;
    const qsizetype caret = m_document.selectionStart();
    if (caret == 0)
        return;
    const QChar before = m_document.at(caret - 1);
    if (before >= u'a' && before <= u'z') {
        m_document.replace(caret - 1, 1, QString(QChar(before.unicode() - 32)));
        m_capitalDue = false;
    }
    m_document.select(caret, 0);
}

// The last step of every change while the option is on, the change still open: what it
// corrects is part of the change.
void AutoCapitalise::onChangeFinishing()
{
    if (!m_enabled)
        return;
    if (m_document.isEmpty())
        m_capitalDue = true;
    const qsizetype caret = m_document.selectionStart();
    if (caret >= 1 && Autocorrection::endsSentence(m_document.at(caret - 1)))
        m_capitalDue = true;
    correct();
    m_document.select(caret, 0);
}

// The text is corrected a stretch at a time, left to right as one pass over it goes, each
// stretch's correction put in before the next is read: a big text is never copied whole.
void AutoCapitalise::correct()
{
    constexpr qsizetype kStretch = 64 * 1024;
    const std::optional<TextRange> changed = m_document.changedRange();
    if (m_fixedPoint && !changed)
        return;
    m_document.forgetChanges();
    const bool whole = !m_fixedPoint;
    m_fixedPoint = true;
    if (m_document.isLocked())
        return;
    const qsizetype to = whole ? m_document.size() : changed->to;
    qsizetype writtenFrom = -1, writtenTo = -1;
    for (qsizetype at = whole ? 0 : changed->from;; at += kStretch) {
        const qsizetype end = std::min(to, at + kStretch);
        if (const std::optional<Autocorrection::Correction> correction
            = correctionAround(m_document, at, end)) {
            const qsizetype from = correction->from;
            m_document.replace(from, correction->text.size(), correction->text);
            writtenFrom = writtenFrom < 0 ? from : std::min(writtenFrom, from);
            writtenTo = std::max(writtenTo, from + correction->text.size());
        }
        if (end >= to)
            break;
    }
    // The text is the fixpoint now; a change anyone else made meanwhile stays to be corrected.
    const std::optional<TextRange> written = m_document.changedRange();
    if (written && written->from >= writtenFrom && written->to <= writtenTo)
        m_document.forgetChanges();
}
