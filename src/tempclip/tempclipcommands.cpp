#include "tempclipcommands.h"

#include "document/document.h"
#include "host/host.h"
#include "host/toolwindow.h"
#include "masterclipwindow.h"
#include "tempcliplist.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>

TempClipCommands::TempClipCommands(
    Document &document, Host &host, QComboBox *box, QWidget *owner, QWidget *view, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_host(host)
    , m_owner(owner)
    , m_view(view)
    , m_box(box)
    , m_boxField(box->lineEdit())
    , m_list(new TempClipList(this))
{
    const QString startText = m_box->currentText();
    m_box->setModel(m_list);
    m_box->setEditText(startText);
    connect(m_box, &QComboBox::activated, this, &TempClipCommands::choose);
    // The drop-down handles drops itself, on its field as on its frame.
    m_box->setAcceptDrops(true);
    m_box->installEventFilter(this);
    m_boxField->installEventFilter(this);
}

QString TempClipCommands::currentText() const
{
    const QString shown = m_box->currentText();
    return shown == m_chosenShown && !m_chosenShown.isNull() ? m_chosen : shown;
}

MasterClipWindow *TempClipCommands::existingMasterWindow() const
{
    return m_master;
}

MasterClipWindow *TempClipCommands::masterWindow()
{
    return ToolWindow::single(m_master, [this] {
        auto *master = new MasterClipWindow(*m_list, m_owner);
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
    const QString current = m_box->currentText();
    m_list->add(text);
    m_box->setEditText(current); // the drop-down's text does not change
    masterWindow();
}

void TempClipCommands::copySelection()
{
    add(m_document.selectedText());
}

void TempClipCommands::choose(int row)
{
    m_chosen = m_list->entry(row);
    m_chosenShown = TempClipList::oneLine(m_chosen);
    m_box->setEditText(m_chosenShown);
    pasteCurrent();
}

// Slow paste types the text, so the edit area's undo can take it back; fast paste puts it in
// at once.
void TempClipCommands::pasteCurrent()
{
    if (m_view)
        m_view->setFocus();
    const QString text = currentText();
    if (m_slowPaste)
        m_host.postKeystrokes(text);
    else
        m_document.replaceSelection(text);
}

void TempClipCommands::clearList()
{
    clearBothViews();
}

void TempClipCommands::clearBothViews()
{
    m_list->clear();
    m_chosen.clear();
    m_chosenShown = QString();
    m_box->setEditText(QString());
}

void TempClipCommands::showMasterWindow()
{
    MasterClipWindow *master = masterWindow();
    ToolWindow::present(master, master->entryList());
}

void TempClipCommands::removeEntry(int row)
{
    if (row < 0) {
        m_host.messageBox(QStringLiteral("No item selected to delete"));
        return;
    }
    const QString current = m_box->currentText();
    m_list->removeAt(row);
    m_box->setEditText(current);
}

void TempClipCommands::askToClear()
{
    if (m_host.messageBox(QStringLiteral("This will clear the temporary clipboard. Proceed?"),
            QStringLiteral("Confirm Clear"), Host::Icon::Question, Host::Buttons::YesNo,
            Host::Button::No)
        == Host::Button::Yes)
        clearBothViews();
}

// Paste Selected keeps the selected text and puts the preview right after it.
void TempClipCommands::pasteFromPreview(const QString &preview)
{
    m_document.replaceSelection(m_document.selectedText() + preview);
}

// Text dropped on the box is added to it; the drag is a copy, so nothing leaves the document.
// The box still sends events while it is destroyed, when it is no longer a QComboBox: they are
// told apart by address alone.
bool TempClipCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box && watched != m_boxField)
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
