#include "tempclipcommands.h"

#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "host/editarea.h"
#include "host/host.h"
#include "host/toolwindow.h"
#include "masterclipwindow.h"
#include "tempcliplist.h"

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>

TempClipCommands::TempClipCommands(frmedit &window)
    : QObject(&window)
    , m_window(window)
    , m_cmbtmp(window.toolbar()->cmbtmp())
    , m_cmbtmpField(m_cmbtmp->lineEdit())
    , m_list(new TempClipList(this))
{
    const QString startText = m_cmbtmp->currentText();
    m_cmbtmp->setModel(m_list);
    m_cmbtmp->setEditText(startText);
    connect(m_cmbtmp, &QComboBox::activated, this, &TempClipCommands::choose);
    // The drop-down handles drops itself, on its field as on its frame.
    m_cmbtmp->setAcceptDrops(true);
    m_cmbtmp->installEventFilter(this);
    m_cmbtmpField->installEventFilter(this);
    connect(window.command("mnucopytotemp"), &QAction::triggered, this,
        &TempClipCommands::mnucopytotemp_Click);
    connect(
        window.command("mnuuseword"), &QAction::triggered, this, &TempClipCommands::cmbtmp_Click);
    connect(window.command("mnucleartmpcmb"), &QAction::triggered, this,
        &TempClipCommands::mnucleartmpcmb_Click);
    connect(window.command("mnumasterclip"), &QAction::triggered, this,
        &TempClipCommands::mnumasterclip_Click);
}

QString TempClipCommands::currentText() const
{
    const QString shown = m_cmbtmp->currentText();
    return shown == m_chosenShown && !m_chosenShown.isNull() ? m_chosen : shown;
}

MasterClipWindow *TempClipCommands::existingMasterWindow() const
{
    return m_master;
}

MasterClipWindow *TempClipCommands::masterWindow()
{
    return ToolWindow::single(m_master, [this] {
        auto *master = new MasterClipWindow(*m_list, &m_window);
        master->setAttribute(Qt::WA_DeleteOnClose);
        connect(
            master, &MasterClipWindow::pasteRequested, this, &TempClipCommands::pasteFromPreview);
        connect(master, &MasterClipWindow::removeRequested, this, &TempClipCommands::removeEntry);
        connect(master, &MasterClipWindow::clearRequested, this, &TempClipCommands::askToClear);
        connect(master, &MasterClipWindow::textDropped, this, &TempClipCommands::add);
        return master;
    });
}

// Adding refers to the master window, which is created (hidden) if need be.
void TempClipCommands::add(const QString &text)
{
    const QString current = m_cmbtmp->currentText();
    m_list->add(text);
    m_cmbtmp->setEditText(current); // the drop-down's text does not change
    masterWindow();
}

void TempClipCommands::mnucopytotemp_Click()
{
    add(m_window.area()->selText());
}

void TempClipCommands::choose(int row)
{
    m_chosen = m_list->entry(row);
    m_chosenShown = TempClipList::oneLine(m_chosen);
    m_cmbtmp->setEditText(m_chosenShown);
    cmbtmp_Click();
}

// Slow paste types the text, so the edit area's undo can take it back; fast paste puts it in
// at once.
void TempClipCommands::cmbtmp_Click()
{
    EditArea *area = m_window.area();
    area->setFocus();
    const QString text = currentText();
    if (m_window.command(QStringLiteral("mnuslowpaste"))->isChecked())
        m_window.host().postKeystrokes(text);
    else
        area->setSelText(text);
}

void TempClipCommands::mnucleartmpcmb_Click()
{
    clearBothViews();
}

void TempClipCommands::clearBothViews()
{
    m_list->clear();
    m_chosen.clear();
    m_chosenShown = QString();
    m_cmbtmp->setEditText(QString());
}

void TempClipCommands::mnumasterclip_Click()
{
    MasterClipWindow *master = masterWindow();
    ToolWindow::present(master, master->tmpcmb());
}

void TempClipCommands::removeEntry(int row)
{
    if (row < 0) {
        m_window.host().messageBox(QStringLiteral("No item selected to delete"));
        return;
    }
    const QString current = m_cmbtmp->currentText();
    m_list->removeAt(row);
    m_cmbtmp->setEditText(current);
}

void TempClipCommands::askToClear()
{
    if (m_window.host().messageBox(QStringLiteral("This will clear the temporary clipboard. "
                                                  "Proceed?"),
            QStringLiteral("Confirm Clear"), Host::Icon::Question, Host::Buttons::YesNo,
            Host::Button::No)
        == Host::Button::Yes)
        clearBothViews();
}

// Paste Selected keeps the selected text and puts the preview right after it.
void TempClipCommands::pasteFromPreview(const QString &preview)
{
    EditArea *area = m_window.area();
    area->setSelText(area->selText() + preview);
}

// Text dropped on the box is added to it; the drag is a copy, so nothing leaves the document.
// The box still sends events while it is destroyed, when it is no longer a QComboBox: they are
// told apart by address alone.
bool TempClipCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_cmbtmp && watched != m_cmbtmpField)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!drag->mimeData()->hasText())
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        add(drop->mimeData()->text());
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
