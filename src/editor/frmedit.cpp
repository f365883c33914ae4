#include "frmedit.h"

#include "document/document.h"
#include "host/desktop.h"
#include "host/editarea.h"
#include "host/host.h"
#include "host/toolwindow.h"
#include "maintoolbar.h"
#include "menurows.h"
#include "propertieswindow.h"
#include "statustext.h"
#include "twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>

frmedit::frmedit(Host &host, QWidget *parent)
    : QMainWindow(parent)
    , m_host(host)
{
    Desktop::prepare();
    setObjectName(QStringLiteral("frmedit"));
    const qreal dpi = logicalDpiY();
    resize(twipsToPixels(8745, dpi), twipsToPixels(5295 + 360 + 375, dpi));
    setMinimumSize(twipsToPixels(2500, dpi), twipsToPixels(2500, dpi));

    m_document = new Document(this);
    m_area = new EditArea(*m_document, this);
    m_area->setAccessibleName(QStringLiteral("Text"));
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPointSizeF(9.75);
    m_area->setFont(font);
    setCentralWidget(m_area);

    m_commands = buildCommands(menuBar(), menuBarRows());
    m_area->setMenuShortcuts(m_commands.shortcuts);
    connect(command("new"), &QAction::triggered, this, &frmedit::new_Click);
    connect(command("exit"), &QAction::triggered, this, &frmedit::exit_Click);
    connect(command("mnushowstatus"), &QAction::triggered, this, &frmedit::mnushowstatus_Click);
    connect(command("mnushowtool"), &QAction::triggered, this, &frmedit::mnushowtool_Click);

    m_toolbar = new MainToolbar(m_commands.actions, this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    connect(m_toolbar->button(QStringLiteral("Properties")), &QAction::triggered, this,
        &frmedit::showProperties);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("statustext"));
    statusBar()->addWidget(m_statusText, 1);
    m_loadProgress = new QProgressBar(this);
    m_loadProgress->setObjectName(QStringLiteral("loadprogress"));
    m_loadProgress->setMaximumWidth(twipsToPixels(1800, dpi));
    m_loadProgress->setFormat(QStringLiteral("Loading %p%"));
    m_loadProgress->hide();
    statusBar()->addPermanentWidget(m_loadProgress);

    connect(m_area, &EditArea::changed, this, &frmedit::Area_Change);
    connect(m_area, &EditArea::mouseReleased, this, &frmedit::setCopyCutEnabled);
    connect(m_area, &EditArea::keyReleased, this, &frmedit::setCopyCutEnabled);
    connect(m_area, &EditArea::streamProgress, this, &frmedit::showStreamProgress);
    // A big new text is laid out in idle time; the count read at its change was provisional.
    connect(m_area, &EditArea::lineCountSettledAfterChange, this, [this] {
        refreshlinecount();
        statupload();
    });

    Form_Load();
    m_area->setFocus();
}

// The Properties window is not the document's: it stays open until its own close box.
frmedit::~frmedit() = default;

QString frmedit::saveme() const
{
    return m_path.value_or(QStringLiteral("Untitled"));
}

QString frmedit::star() const
{
    return m_modified ? QStringLiteral("*") : QString();
}

QAction *frmedit::command(const QString &name) const
{
    return m_commands.actions.value(name);
}

bool frmedit::isChecked(const QString &name) const
{
    const QAction *action = command(name);
    return action && action->isChecked();
}

void frmedit::Form_Load()
{
    m_modified = false;
    m_path.reset();
    statupload();
    setTitle(TitleSuffix::StartUp);
    setCopyCutEnabled();
}

void frmedit::setTitle(TitleSuffix suffix)
{
    m_title = documentTitle(saveme(), star(), suffix);
    setWindowTitle(windowTitleFor(m_title));
}

void frmedit::statupload()
{
    const QFont font = m_area->font();
    m_statusText->setText(statusBarText(
        font.pointSizeF(), font.family(), m_linecount, isChecked(QStringLiteral("mnuautosave"))));
}

QString frmedit::statusText() const
{
    return m_statusText->text();
}

void frmedit::refreshlinecount()
{
    m_linecount = m_area->lineCount();
}

void frmedit::Area_Change()
{
    // The flag promises that the text still ends with the line break Open appended.
    if (m_loadedfromfile && !m_area->text().endsWith(QLatin1String("\r\n")))
        m_loadedfromfile = false;
    m_modified = true;
    setTitle(TitleSuffix::Edited);
    refreshlinecount();
    statupload();
    emit areaChanged();
}

// Copy and Cut, on the toolbar and in the Edit menu, are there only while text is selected.
void frmedit::setCopyCutEnabled()
{
    const bool selected = m_area->selLength() > 0;
    m_toolbar->button(QStringLiteral("Copy"))->setEnabled(selected);
    command(QStringLiteral("mnucut"))->setEnabled(selected);
    m_toolbar->button(QStringLiteral("Cut"))->setEnabled(selected);
    command(QStringLiteral("mnucopy"))->setEnabled(selected);
}

void frmedit::new_Click()
{
    if (isModified()
        && m_host.messageBox(QStringLiteral("File not saved. Proceed?"),
               QStringLiteral("Confirm save"), Host::Icon::Question, Host::Buttons::YesNo,
               Host::Button::No)
            != Host::Button::Yes) {
        m_area->setFocus();
        return;
    }
    // A locked area keeps its text: unlocked first, it takes the empty one.
    m_area->setLocked(false);
    m_area->setText(QString(), EditArea::History::Reset);
    m_path.reset();
    m_modified = false;
    setTitle(TitleSuffix::Edited);
    m_area->setFocus();
    m_loadedfromfile = false;
    emit documentReplaced();
}

void frmedit::exit_Click()
{
    close();
}

PropertiesWindow *frmedit::propertiesWindow() const
{
    return m_properties;
}

// The Properties window, then the about window in front of it.
void frmedit::showProperties()
{
    // It has no owner, so it stays open when the main window closes.
    ToolWindow::present(ToolWindow::single(m_properties,
                            [] {
                                auto *window = new PropertiesWindow;
                                window->setAttribute(Qt::WA_DeleteOnClose);
                                return window;
                            }),
        nullptr);
    command(QStringLiteral("about"))->trigger();
}

// Each bar's row is disabled while the other bar is hidden, so at most one is hidden at a time.
// The edit area fills whatever room the bars leave.
void frmedit::mnushowstatus_Click()
{
    QAction *other = command(QStringLiteral("mnushowtool"));
    other->setEnabled(!other->isEnabled());
    statusBar()->setVisible(isChecked(QStringLiteral("mnushowstatus")));
}

void frmedit::mnushowtool_Click()
{
    QAction *other = command(QStringLiteral("mnushowstatus"));
    other->setEnabled(!other->isEnabled());
    m_toolbar->setVisible(isChecked(QStringLiteral("mnushowtool")));
}

void frmedit::showStreamProgress(int percent)
{
    m_loadProgress->setValue(percent);
    m_loadProgress->setVisible(percent < 100);
}

// A load lets events through while its progress window is up. That window is modal to this
// one, but a command can still come from code, so every row (Exit aside, which only asks to
// close) and every toolbar control is disabled, and put back as it was; a disabled action
// ignores even trigger(). The area takes no keys while it prepares a text, and auto-save waits
// while a load or any box is under way.
void frmedit::beginLoading()
{
    m_loading = true;
    QList<QAction *> actions = m_toolbar->actions();
    for (QAction *action : std::as_const(m_commands.actions)) {
        if (!action->menu() && action->objectName() != QLatin1String("exit"))
            actions.append(action);
    }
    for (QAction *action : std::as_const(actions)) {
        if (action->isEnabled()) {
            action->setEnabled(false);
            m_disabledWhileLoading.append(action);
        }
    }
}

// A close that arrived meanwhile comes back once the load has unwound, so that it never pulls
// the window from under the loop that fills it.
void frmedit::endLoading()
{
    for (const QPointer<QAction> &action : std::exchange(m_disabledWhileLoading, {})) {
        if (action)
            action->setEnabled(true);
    }
    m_loading = false;
    if (std::exchange(m_closeAfterLoad, false))
        QMetaObject::invokeMethod(this, &frmedit::close, Qt::QueuedConnection);
}

// Asks only for a modified document; the tool windows that go with it close either way.
// During a load it waits: the load gives up first and brings the old document back.
void frmedit::closeEvent(QCloseEvent *event)
{
    if (m_loading) {
        m_closeAfterLoad = true;
        event->ignore();
        return;
    }
    bool cancel = false;
    if (isModified()) {
        cancel = m_host.messageBox(QStringLiteral("File not saved. Are you sure you want to exit "
                                                  "without saving?"),
                     QStringLiteral("Confirm save"), Host::Icon::Question, Host::Buttons::YesNo,
                     Host::Button::No)
            == Host::Button::No;
    }
    ToolWindow::closeOwned(this);
    emit closingSecondaryWindows();
    if (cancel)
        event->ignore();
    else
        event->accept();
}
