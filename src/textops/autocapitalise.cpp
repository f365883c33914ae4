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

void AutoCapitalise::correct()
{
    const std::optional<TextRange> changed = m_document.changedRange();
    if (m_fixedPoint && !changed)
        return;
    m_document.forgetChanges();
    const std::optional<Autocorrection::Correction> correction = m_fixedPoint
        ? correctionAround(m_document, changed->from, changed->to)
        : Autocorrection::correctedAround(m_document.text(), 0, m_document.size());
    m_fixedPoint = true;
    if (!correction || m_document.isLocked())
        return;
    const qsizetype from = correction->from;
    const qsizetype to = from + correction->text.size();
    m_document.replace(from, correction->text.size(), correction->text);
    // The text is the fixpoint now; a change anyone else made meanwhile stays to be corrected.
    const std::optional<TextRange> written = m_document.changedRange();
    if (written && written->from >= from && written->to <= to)
        m_document.forgetChanges();
}
