#pragma once

#include <QObject>
#include <QPointer>

class Document;
class Host;
class MasterClipWindow;
class QComboBox;
class QLineEdit;
class QWidget;
class TempClipList;

/// The temporary clipboard commands: adding, pasting, clearing, and the master window. The list
/// shows in the drop-down `box` and in the master window, which belongs to `owner`; `view` shows
/// the document and takes the keyboard when an entry is pasted.
class TempClipCommands : public QObject
{
    Q_OBJECT

public:
    TempClipCommands(Document &document, Host &host, QComboBox *box, QWidget *owner,
        QWidget *view, QObject *parent = nullptr);

    TempClipList &list() const { return *m_list; }
    /// The drop-down's current text: the chosen entry verbatim, or what was typed into it.
    QString currentText() const;
    /// The master window, created hidden on first use.
    MasterClipWindow *masterWindow();
    MasterClipWindow *existingMasterWindow() const;

    void add(const QString &text);
    /// Pastes the drop-down's current text, typed key by key while slow paste is on.
    void pasteCurrent();
    void copySelection();
    void clearList();
    void showMasterWindow();
    /// The Slow Paste row was switched.
    void setSlowPaste(bool slow) { m_slowPaste = slow; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(int row);
    void clearBothViews();
    void removeEntry(int row);
    void askToClear();
    void pasteFromPreview(const QString &preview);

    Document &m_document;
    Host &m_host;
    QWidget *m_owner;
    QPointer<QWidget> m_view;
    QComboBox *m_box = nullptr;
    QLineEdit *m_boxField = nullptr;
    bool m_slowPaste = false;
    TempClipList *m_list = nullptr;
    QPointer<MasterClipWindow> m_master;
    // The entry last chosen, and how the drop-down's text field shows it.
    QString m_chosen;
    QString m_chosenShown;
};
