#pragma once

#include <QObject>

class Document;

/// Auto Capitalise: the capital a key puts before the caret after a sentence mark, and the
/// corrections that, while the option is on, keep the whole text as the passes would leave it.
/// They run at the end of every change of the document and belong to that change.
class AutoCapitalise : public QObject
{
    Q_OBJECT

public:
    explicit AutoCapitalise(Document &document, QObject *parent = nullptr);

    /// The option row was switched; an empty text makes the next letter a capital either way.
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    /// Before a typed character goes in: the small letter before the caret becomes a capital
    /// while one is due, so the capital comes one key press late. This happens whether or not the
    /// option is still on.
    void beforeKey();

private:
    void onChangeFinishing();
    void correct();

    Document &m_document;
    bool m_enabled = false;
    bool m_capitalDue = false;
    // Whether no pass finds anything in the text as it was when the document last forgot its
    // changes: then only what changed since, and its neighbours, need correcting. False until
    // the whole text has been corrected, again after the row is switched or another text comes
    // in, so that the next change corrects the whole text.
    bool m_fixedPoint = false;
};
