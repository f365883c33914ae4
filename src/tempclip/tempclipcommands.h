#pragma once

#include "editor/commandtable.h"

#include <QObject>
#include <QPointer>

class frmedit;
class MasterClipWindow;
class QComboBox;
class QLineEdit;
class TempClipList;

/// The temporary clipboard commands: adding, pasting, clearing, and the master window.
class TempClipCommands : public QObject
{
    Q_OBJECT

public:
    explicit TempClipCommands(frmedit &window);

    TempClipList &list() const { return *m_list; }
    /// The drop-down's current text: the chosen entry verbatim, or what was typed into it.
    QString currentText() const;
    /// The master window, created hidden on first use.
    MasterClipWindow *masterWindow();
    MasterClipWindow *existingMasterWindow() const;

    void add(const QString &text);
    void cmbtmp_Click();
    void mnucopytotemp_Click();
    void mnucleartmpcmb_Click();
    void mnumasterclip_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(int row);
    void clearBothViews();
    void removeEntry(int row);
    void askToClear();
    void pasteFromPreview(const QString &preview);

    frmedit &m_window;
    QComboBox *m_cmbtmp = nullptr;
    QLineEdit *m_cmbtmpField = nullptr;
    TempClipList *m_list = nullptr;
    QPointer<MasterClipWindow> m_master;
    // The entry last chosen, and how the drop-down's text field shows it.
    QString m_chosen;
    QString m_chosenShown;
};
