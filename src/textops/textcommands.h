#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

class AutoCapitalise;
class frmedit;

/// The text commands of the Edit and Format menus: case, selection, whitespace stripping,
/// insertions and the clipboard rows, each a pure function applied to the selection; and Auto
/// Capitalise, which keeps state of its own.
class TextCommands : public QObject
{
    Q_OBJECT

public:
    explicit TextCommands(frmedit &window);

    /// Runs after every change of the text while Auto Capitalise is on.
    void autocorrect();
    AutoCapitalise &autoCapitalise() { return *m_autoCapitalise; }
    /// The HTML template, set when the window is built.
    const QString &hatamala() const { return m_hatamala; }

private:
    using Rule = QString (*)(QStringView);

    /// Converts the selection and selects exactly the converted text again.
    void convertSelection(Rule rule);
    /// With nothing selected, converts the character after the caret.
    void mnusentencecase_Click();
    /// Puts `text` in place of the selection; the caret ends after it.
    void replaceSelection(const QString &text);
    void select(qsizetype start, qsizetype length);

    frmedit &m_window;
    AutoCapitalise *m_autoCapitalise = nullptr;
    const QString m_hatamala;
};
