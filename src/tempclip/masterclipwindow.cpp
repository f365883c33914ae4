#include "masterclipwindow.h"

#include "document/document.h"
#include "editor/twips.h"
#include "host/screenfit.h"
#include "host/toolwindow.h"
#include "tempcliplist.h"
#include "view/textview.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kWindowHint
    = QStringLiteral("Master Temporary Clipboard allows you to manage multiple clipboard data.");

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// The entry the list is on is the chosen one whenever the list has the keyboard: the view itself
// only marks the entry it gets the keyboard on, which would look chosen without being so. A
// removed entry leaves none chosen, where the view would choose its neighbour.
class EntryList : public QListView
{
public:
    using QListView::QListView;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        QListView::focusInEvent(event); // makes the first entry current when none is
        const QModelIndex current = currentIndex();
        if (current.isValid() && !selectionModel()->isSelected(current))
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    }
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override
    {
        const QScopedValueRollback removing(m_removing, true);
        QListView::rowsAboutToBeRemoved(parent, start, end);
    }
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex &index, const QEvent *event) const override
    {
        return m_removing ? QItemSelectionModel::NoUpdate
                          : QListView::selectionCommand(index, event);
    }

private:
    bool m_removing = false;
};

} // namespace

MasterClipWindow::MasterClipWindow(TempClipList &list, QWidget *parent)
    : QDialog(parent, ToolWindow::dialogFlags())
    , m_entries(list)
{
    setObjectName(QStringLiteral("tempclip"));
    setWindowTitle(QStringLiteral("Master Temporary Clipboard: Tarvex"));
    setMouseTracking(true);
    const qreal dpi = logicalDpiY();
    // Lengths in twips, all grown by one factor where this platform's captions are wider. The
    // window is laid out at those lengths; where the screen has less room, the list and the
    // preview give way and the buttons keep their captions.
    const int captionRoom = fontMetrics().horizontalAdvance(QStringLiteral("Remove Selected")) + 16;
    const qreal scale = std::max(1.0, captionRoom / qreal(twipsToPixels(1455, dpi)));
    const TwipsScale px(dpi, scale);

    m_list = new EntryList(this);
    m_list->setObjectName(QStringLiteral("tmpcmb"));
    m_list->setAccessibleName(QStringLiteral("Temporary Clipboard"));
    m_list->setModel(&list);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);
    m_list->setAcceptDrops(true);
    m_list->viewport()->setAcceptDrops(true);

    // An edit area like the document's, so that the entry's line breaks, bare CR and LF
    // included, are pasted as they are.
    m_previewText = new Document(this);
    m_preview = new TextView(*m_previewText, this);
    m_preview->setObjectName(QStringLiteral("fullclip"));
    m_preview->setAccessibleName(QStringLiteral("Preview"));
    m_preview->setWordWrap(false);
    m_preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab goes on to the buttons, as in the rest of the window; Ctrl+Tab types a tab.
    m_preview->setTabChangesFocus(true);
    m_preview->installEventFilter(this);

    m_cancel = button(this, "CancelButton", QStringLiteral("Cancel / Return"));
    m_remove = button(this, "remselected", QStringLiteral("Remove Selected"));
    m_clear = button(this, "cleartmp", QStringLiteral("Clear Clipboard"));
    m_ok = button(this, "OKButton", QStringLiteral("Paste Selected"));

    m_status = new QStatusBar(this);
    m_status->setObjectName(QStringLiteral("StatusBar1"));
    m_status->setSizeGripEnabled(false);

    auto *views = new QHBoxLayout;
    views->setSpacing(px(105));
    views->addWidget(m_list, 2655);
    views->addWidget(m_preview, 5895);
    // The buttons start at 0, 2400, 4800 and 7200 twips across the window's 8730.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    for (QPushButton *b : { m_cancel, m_remove, m_clear, m_ok }) {
        b->setMinimumWidth(px(1455));
        b->setFixedHeight(px(375));
        buttons->addWidget(b);
        if (b != m_ok)
            buttons->addStretch(1);
    }
    buttons->addSpacing(px(75));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(views, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    const QSize designed(px(8730), px(3375) + 4 + px(375) + 4 + m_status->sizeHint().height());
    setFixedSize(ScreenFit::fitted(this, designed));

    // Hints follow the mouse: each control's own, the window's over the background.
    m_hints = {
        { m_list->viewport(),
            QStringLiteral("Cipboard: Click on the item you wish to paste or view preview.") },
        { m_preview->viewport(),
            QStringLiteral("Shows preview of selected item. You may alter before pasting. Drag "
                           "Drop altered text to the Clipboard to add item.") },
        { m_ok, QStringLiteral("Paste the item as shown in the preview.") },
        { m_cancel, QStringLiteral("Return without making any changes") },
        { m_remove, QStringLiteral("Remove the selected item from the temporary clipboard.") },
        { m_clear, QStringLiteral("Clear the temporary clipboard") },
    };
    for (auto it = m_hints.cbegin(); it != m_hints.cend(); ++it) {
        auto *widget = static_cast<QWidget *>(it.key());
        widget->setMouseTracking(true);
        widget->installEventFilter(this);
    }
    showHint(kWindowHint);

    // The preview shows the entry the user chose, whether by the mouse, the arrow keys, Home,
    // End or its first letter; a click or Enter on it shows it afresh after an edit. Removing
    // or clearing entries chooses none, so the preview keeps its text.
    const auto preview = [this](const QModelIndex &index) {
        m_previewText->load(TextBuffer(index.data(TempClipList::VerbatimRole).toString()), {});
    };
    connect(
        m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, preview] {
            const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
            if (selected.size() == 1)
                preview(selected.constFirst());
        });
    connect(m_list, &QListView::clicked, this, preview);
    connect(m_list, &QListView::activated, this, preview);
    connect(m_ok, &QPushButton::clicked, this, [this] {
        emit pasteRequested(m_previewText->text());
        ToolWindow::dismiss(this);
    });
    connect(m_cancel, &QPushButton::clicked, this, &MasterClipWindow::reject);
    connect(m_remove, &QPushButton::clicked, this, [this] { emit removeRequested(selectedRow()); });
    connect(m_clear, &QPushButton::clicked, this, &MasterClipWindow::clearRequested);
}

void MasterClipWindow::reject()
{
    ToolWindow::dismiss(this);
}

QString MasterClipWindow::statusText() const
{
    return m_status->currentMessage();
}

int MasterClipWindow::selectedRow() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void MasterClipWindow::showHint(const QString &hint)
{
    m_status->showMessage(hint);
}

void MasterClipWindow::mouseMoveEvent(QMouseEvent *event)
{
    showHint(kWindowHint);
    QDialog::mouseMoveEvent(event);
}

bool MasterClipWindow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == m_preview) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
                m_previewText->replaceSelection(QStringLiteral("\t"));
                return true;
            }
        }
        break;
    case QEvent::MouseMove:
        if (m_hints.contains(watched)) {
            showHint(m_hints.value(watched));
            // A button passes an unused move on to the window, whose own hint would win.
            if (qobject_cast<QPushButton *>(watched))
                return true;
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        // Dropped text is copied: the drag never takes it out of the preview.
        if (watched == m_list->viewport()) {
            auto *drag = static_cast<QDragMoveEvent *>(event);
            if (drag->mimeData()->hasText()) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
                return true;
            }
        }
        break;
    case QEvent::Drop:
        if (watched == m_list->viewport()) {
            auto *drop = static_cast<QDropEvent *>(event);
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            emit textDropped(drop->mimeData()->text());
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}
