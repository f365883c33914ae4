#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>

class Document;
class Host;
class QWidget;

/// The text commands of the Edit and Format menus: case, selection, whitespace stripping,
/// insertions and the clipboard rows, each a pure function applied to the document's selection.
/// Each ends with the keyboard in `view`, the widget that shows the document, when there is one.
class TextCommands : public QObject
{
    Q_OBJECT

public:
    TextCommands(Document &document, Host &host, QWidget *view, QObject *parent = nullptr);

    void lowerCase();
    void upperCase();
    void invertCase();
    void titleCase();
    /// With nothing selected, converts the character after the caret.
    void sentenceCase();

    void selectAll();
    /// Selects the word at the caret.
    void selectWord();
    void selectNextWord();

    void stripLeadingSpaces();
    void stripTrailingSpaces();
    void stripOuterSpaces();
    void insertDateAndTime();
    void insertHtmlCode();

    /// The Edit menu's Copy and Cut empty the clipboard first; the toolbar's buttons do not.
    void menuCopy();
    void menuCut();
    void toolbarCopy();
    void toolbarCut();
    void paste();
    void clearClipboard();

private:
    using Rule = QString (*)(QStringView);

    /// Converts the selection and selects exactly the converted text again.
    void convertSelection(Rule rule);
    /// Puts `text` in place of the selection; the caret ends after it.
    void replaceSelection(const QString &text);
    void select(qsizetype start, qsizetype length);
    void focusView();

    Document &m_document;
    Host &m_host;
    QPointer<QWidget> m_view;
};
