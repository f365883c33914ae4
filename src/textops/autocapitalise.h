#pragma once

#include <QObject>

class frmedit;

/// Auto Capitalise: the option row, the capital after a sentence mark (`capnext`), and the
/// corrections that keep the whole text as the passes would leave it on every change while the
/// option is on.
class AutoCapitalise : public QObject
{
    Q_OBJECT

public:
    AutoCapitalise(frmedit &window, QObject *parent);

    /// The row's check mark has flipped already; an empty text makes the next letter a capital.
    void mnuautocapitalise_Click();
    /// Before a typed character goes in: capitalises the small letter before the caret while
    /// `capnext` is set, so the capital comes one key press late.
    void Area_KeyPress(QChar typed);
    /// Last step of every change of the text while the option is on.
    void autocorrect();

    bool capnext() const { return m_capnext; }

private:
    void correct();

    frmedit &m_window;
    bool m_capnext = false;
    bool m_writingCorrection = false;
    // Whether no pass finds anything in the text as it was when the area last forgot its
    // changes: then only what changed since, and its neighbours, need correcting. False until
    // the whole text has been corrected, and again each time the row is switched, so that the
    // first change after switching it on corrects the whole text.
    bool m_fixedPoint = false;
};
