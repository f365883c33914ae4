#pragma once

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;
class SpeechEngine;

/// A window that shows how far a long task has gone, with a Cancel button; it closes when
/// destroyed. While it is up the rest of the program's windows take no input but keep painting.
class Progress
{
public:
    virtual ~Progress() = default;
    /// How far the task has gone, 0 to 100; once the window is up, also lets the window
    /// system's events through.
    virtual void setValue(int percent) = 0;
    virtual bool wasCanceled() const = 0;
};

/// Everything modal or system-wide that the commands need from the toolkit. The commands talk
/// to the user only through this, so tests can answer every box from a script.
class Host
{
public:
    enum class Icon { None, Information, Exclamation, Question };
    /// Escape and the close box answer No on a Yes/No box, Cancel on a Yes/No/Cancel box.
    enum class Buttons { Ok, YesNo, YesNoCancel };
    enum class Button { Ok, Yes, No, Cancel };

    /// A question whose answers are buttons captioned `answers`, left to right. Enter chooses
    /// `defaultAnswer`; Escape and the close box choose `escapeAnswer`, the answer that changes
    /// nothing.
    struct Choice
    {
        QString prompt;
        QString title;
        Icon icon = Icon::Question;
        QStringList answers;
        int defaultAnswer = 0;
        int escapeAnswer = 0;
    };

    /// A file dialog request: caption, the pre-filled file name, the default extension (no dot),
    /// and a name filter such as "Text Files (*.txt);;All Files (*)".
    struct FileDialog
    {
        QString title;
        QString fileName;
        QString defaultExtension;
        QString filter;
    };

    virtual ~Host() = default;

    /// Modal message box; an empty title shows the program's title "Tarvex".
    virtual Button messageBox(const QString &prompt, const QString &title = {},
        Icon icon = Icon::None, Buttons buttons = Buttons::Ok,
        std::optional<Button> defaultButton = {})
        = 0;
    /// Modal box that asks `choice`; returns the index of the answer chosen.
    virtual int choiceBox(const Choice &choice) = 0;
    /// Modal input box; returns the typed text, or the empty string on Cancel.
    virtual QString inputBox(
        const QString &prompt, const QString &title = {}, const QString &defaultText = {})
        = 0;
    /// An input box whose field shows dots in place of what is typed; its prompt wraps.
    virtual QString passwordBox(
        const QString &prompt, const QString &title = {}, const QString &defaultText = {})
        = 0;
    /// The chosen full path, or nothing when the user cancelled.
    virtual std::optional<QString> openFileName(const FileDialog &dialog) = 0;
    virtual std::optional<QString> saveFileName(const FileDialog &dialog) = 0;
    /// Shows the system's print dialog and, when the user chooses to print, prints `text` in
    /// `font`; returns whether it printed.
    virtual bool printText(const QString &text, const QFont &font) = 0;
    /// Shows a progress window with `label`, modal to `owner` whichever window is active (it
    /// may appear only once the task has taken a moment, so quick tasks never flash one).
    virtual std::unique_ptr<Progress> showProgress(
        QWidget *owner, const QString &label, const QString &title = {})
        = 0;
    /// Whether a box or dialog of the program is open (its handler waits in a nested loop).
    virtual bool isShowingModal() const = 0;
    /// Bytes of memory the program can still take: the system's available memory, or what the
    /// process's address-space limit leaves of it when that is less.
    virtual qint64 memoryAvailable() const = 0;

    /// The clipboard's plain text, the empty string when it holds none.
    virtual QString clipboardText() = 0;
    virtual void setClipboardText(const QString &text) = 0;
    virtual void clearClipboard() = 0;

    /// Queues the keystrokes that type `text` to the focused control; they arrive after the
    /// current command has returned to the event loop.
    virtual void postKeystrokes(const QString &text) = 0;

    /// System colour by the classic index (window background 5, window text 8, ...).
    virtual QColor systemColor(int index) = 0;
    virtual QStringList screenFonts() = 0;
    virtual QDateTime currentDateTime() = 0;
    virtual std::unique_ptr<SpeechEngine> createSpeechEngine() = 0;

    /// The title a box shows when it is given none.
    static QString programTitle() { return QStringLiteral("Tarvex"); }
};
