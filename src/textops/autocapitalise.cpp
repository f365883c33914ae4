#include "autocapitalise.h"

#include "autocorrection.h"
#include "editor/frmedit.h"
#include "host/editarea.h"

#include <QScopedValueRollback>

AutoCapitalise::AutoCapitalise(frmedit &window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{ }

void AutoCapitalise::mnuautocapitalise_Click()
{
    m_fixedPoint = false;
    if (m_window.area()->text().isEmpty())
        m_capnext = true;
}

void AutoCapitalise::Area_KeyPress(QChar typed)
{
    Q_UNUSED(typed); // the key always goes in as typed
    EditArea *area = m_window.area();
    // A locked area takes no keys; a capital would change the protected text behind its back.
    if (!m_capnext || area->locked())
        return;
    const qsizetype caret = area->selStart();
    if (caret == 0)
        return;
    const QChar before = area->text().at(caret - 1);
    if (before >= u'a' && before <= u'z') {
        area->select(caret - 1, 1);
        area->setSelText(QString(QChar(before.unicode() - 32)));
        m_capnext = false;
    } else {
        area->setSelStart(caret);
    }
}

void AutoCapitalise::autocorrect()
{
    EditArea *area = m_window.area();
    if (area->text().isEmpty())
        m_capnext = true;
    const qsizetype caret = area->selStart();
    if (caret >= 1) {
        if (Autocorrection::endsSentence(area->text().at(caret - 1)))
            m_capnext = true;
        area->setSelStart(caret);
    }
    // The change this run writes is the fixpoint already: the run it starts has nothing to do.
    if (!m_writingCorrection)
        correct();
    area->setSelStart(caret);
}

void AutoCapitalise::correct()
{
    EditArea *area = m_window.area();
    const std::optional<TextRange> changed = area->changedRange();
    if (m_fixedPoint && !changed)
        return;
    area->forgetChanges();
    const std::optional<Autocorrection::Correction> correction = m_fixedPoint
        ? Autocorrection::correctedAround(area->text(), changed->from, changed->to)
        : Autocorrection::correctedAround(area->text(), 0, area->text().size());
    m_fixedPoint = true;
    if (!correction)
        return;
    const qsizetype from = correction->from;
    const qsizetype to = from + correction->text.size();
    {
        const QScopedValueRollback writing(m_writingCorrection, true);
        area->replace(from, correction->text.size(), correction->text);
    }
    // The text is the fixpoint now; a change anyone else made meanwhile stays to be corrected.
    const std::optional<TextRange> written = area->changedRange();
    if (written && written->from >= from && written->to <= to)
        area->forgetChanges();
}
