#pragma once

#include <QDialog>
#include <QHash>

class Document;
class TextView;
class QListView;
class QPushButton;
class QStatusBar;
class TempClipList;

/// `tempclip`, the master clipboard window: the list, a preview that may be edited, Paste
/// Selected, Remove Selected and Clear Clipboard, and a hint in the status bar for whatever
/// the mouse is over. Its buttons and Escape hide it; the list lives on without it.
class MasterClipWindow : public QDialog
{
    Q_OBJECT

public:
    MasterClipWindow(TempClipList &list, QWidget *parent = nullptr);

    QListView *entryList() const { return m_list; }
    TextView *preview() const { return m_preview; }
    QPushButton *pasteButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *removeButton() const { return m_remove; }
    QPushButton *clearButton() const { return m_clear; }
    QString statusText() const;
    /// The row selected in the list, -1 for none.
    int selectedRow() const;
    /// Escape hides the window, as "Cancel / Return" does.
    void reject() override;

signals:
    void pasteRequested(const QString &preview);
    void removeRequested(int row);
    void clearRequested();
    /// Text dropped on the list, to be added.
    void textDropped(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void showHint(const QString &hint);

    TempClipList &m_entries;
    QListView *m_list = nullptr;
    Document *m_previewText = nullptr;
    TextView *m_preview = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_remove = nullptr;
    QPushButton *m_clear = nullptr;
    QPushButton *m_ok = nullptr;
    QStatusBar *m_status = nullptr;
    QHash<QObject *, QString> m_hints;
};
