#include "mainwindow.h"

#include "document/document.h"
#include "documentformat.h"
#include "documenttitle.h"
#include "host/desktop.h"
#include "host/host.h"
#include "host/screenfit.h"
#include "host/toolwindow.h"
#include "journalkeeper.h"
#include "maintoolbar.h"
#include "menurows.h"
#include "propertieswindow.h"
#include "statustext.h"
#include "toolbarkeys.h"
#include "twips.h"
#include "view/textview.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

MainWindow::MainWindow(Host &host, QWidget *parent)
    : QMainWindow(parent)
    , m_host(host)
{
    Desktop::prepare();
    setObjectName(QStringLiteral("frmedit"));
    const qreal dpi = logicalDpiY();
    resize(ScreenFit::fitted(
        this, QSize(twipsToPixels(8745, dpi), twipsToPixels(5295 + 360 + 375, dpi))));
    setMinimumSize(twipsToPixels(2500, dpi), twipsToPixels(2500, dpi));

    m_document = new Document(this);
    m_area = new TextView(*m_document, this);
    m_journal = new JournalKeeper(*m_document, this);
    m_area->setAccessibleName(QStringLiteral("Text"));
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPointSizeF(9.75);
    m_area->setFont(font);
    setCentralWidget(m_area);

    m_commands = buildCommands(menuBar(), menuBarRows());
    m_area->setMenuShortcuts(m_commands.shortcuts);
    connect(command("new"), &QAction::triggered, this, &MainWindow::newDocument);
    connect(command("exit"), &QAction::triggered, this, &MainWindow::close);
    connect(command("mnushowstatus"), &QAction::triggered, this, &MainWindow::toggleStatusBar);
    connect(command("mnushowtool"), &QAction::triggered, this, &MainWindow::toggleToolBar);

    m_toolbar = new MainToolbar(m_commands.actions, this);
    addToolBar(Qt::TopToolBarArea, m_toolbar);
    new ToolbarKeys(m_toolbar, m_area);
    connect(m_toolbar->button(QStringLiteral("Properties")), &QAction::triggered, this,
        &MainWindow::showProperties);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("statustext"));
    // Its text is wider than the default window: cut off at the right rather than push the
    // encoding field out of sight.
    m_statusText->setMinimumWidth(1);
    statusBar()->addWidget(m_statusText, 1);
    m_encodingText = new QLabel(this);
    m_encodingText->setObjectName(QStringLiteral("statusencoding"));
    const int gap = twipsToPixels(90, dpi); // off the window's edge, apart from the first field
    m_encodingText->setContentsMargins(gap, 0, gap, 0);
    statusBar()->addPermanentWidget(m_encodingText);

    connect(m_document, &Document::stateChanged, this, &MainWindow::updateTitle);
    connect(m_document, &Document::stateChanged, this, &MainWindow::updateEncodingField);
    connect(m_document, &Document::changed, this, &MainWindow::onTextChanged);
    connect(m_document, &Document::loaded, this, &MainWindow::onDocumentLoaded);
    connect(m_area, &TextView::mouseReleased, this, &MainWindow::updateCopyCut);
    connect(m_area, &TextView::keyReleased, this, &MainWindow::updateCopyCut);
    // A big new text is counted in idle time; the count read at its change was provisional.
    connect(m_area, &TextView::lineCountSettledAfterChange, this, [this] {
        refreshLineCount();
        refreshStatusBar();
    });

    // Untitled and clean; the status bar counts no lines until the text first changes.
    refreshStatusBar();
    updateEncodingField();
    updateTitle();
    updateCopyCut();
    m_area->setFocus();
}

// The Properties window is not the document's: it stays open until its own close box.
MainWindow::~MainWindow() = default;

QString MainWindow::documentName() const
{
    return m_document->path().value_or(QStringLiteral("Untitled"));
}

QAction *MainWindow::command(const QString &name) const
{
    return m_commands.actions.value(name);
}

bool MainWindow::isChecked(const QString &name) const
{
    const QAction *action = command(name);
    return action && action->isChecked();
}

void MainWindow::updateTitle()
{
    TitleSuffix suffix = TitleSuffix::StartUp;
    switch (m_document->lastStep()) {
    case Document::LastStep::Started:
    case Document::LastStep::Saved:
        break;
    case Document::LastStep::Emptied:
    case Document::LastStep::Edited:
        suffix = TitleSuffix::Edited;
        break;
    case Document::LastStep::Opened:
        suffix = TitleSuffix::Opened;
        break;
    }
    m_title = documentTitle(documentName(), m_document->isModified(), suffix);
    setWindowTitle(windowTitleFor(m_title));
}

void MainWindow::refreshStatusBar()
{
    const QFont font = m_area->font();
    m_statusText->setText(statusBarText(font.pointSizeF(), font.family(), m_lineCount,
        isChecked(QStringLiteral("mnuautosave"))));
}

QString MainWindow::statusText() const
{
    return m_statusText->text();
}

QString MainWindow::encodingText() const
{
    return m_encodingText->text();
}

void MainWindow::updateEncodingField()
{
    m_encodingText->setText(DocumentFormat::encodingName(m_document->encoding()));
}

void MainWindow::refreshLineCount()
{
    m_lineCount = m_area->lineCount();
}

void MainWindow::onTextChanged()
{
    refreshLineCount();
    refreshStatusBar();
}

void MainWindow::onDocumentLoaded()
{
    refreshLineCount();
    refreshStatusBar();
    updateCopyCut();
}

// Copy and Cut, on the toolbar and in the Edit menu, are there only while text is selected.
void MainWindow::updateCopyCut()
{
    const bool selected = m_document->selectionLength() > 0;
    m_toolbar->button(QStringLiteral("Copy"))->setEnabled(selected);
    command(QStringLiteral("mnucut"))->setEnabled(selected);
    m_toolbar->button(QStringLiteral("Cut"))->setEnabled(selected);
    command(QStringLiteral("mnucopy"))->setEnabled(selected);
}

void MainWindow::newDocument()
{
    if (m_document->isModified()
        && m_host.messageBox(QStringLiteral("File not saved. Proceed?"),
               QStringLiteral("Confirm save"), Host::Icon::Question, Host::Buttons::YesNo,
               Host::Button::No)
            != Host::Button::Yes) {
        m_area->setFocus();
        return;
    }
    m_document->load(TextBuffer(), std::nullopt);
    m_area->setFocus();
}

// The Properties window, then the about window in front of it.
void MainWindow::showProperties()
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
void MainWindow::toggleStatusBar()
{
    QAction *other = command(QStringLiteral("mnushowtool"));
    other->setEnabled(!other->isEnabled());
    statusBar()->setVisible(isChecked(QStringLiteral("mnushowstatus")));
}

void MainWindow::toggleToolBar()
{
    QAction *other = command(QStringLiteral("mnushowstatus"));
    other->setEnabled(!other->isEnabled());
    m_toolbar->setVisible(isChecked(QStringLiteral("mnushowtool")));
}

// A load lets events through while its progress window is up. That window is modal to this
// one, but a command can still come from code, so every row (Exit aside, which only asks to
// close) and every toolbar control is disabled, and put back as it was; a disabled action
// ignores even trigger(). The area takes no keys while it prepares a text, and auto-save waits
// while a load or any box is under way.
void MainWindow::beginLoading()
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
void MainWindow::endLoading()
{
    for (const QPointer<QAction> &action : std::exchange(m_disabledWhileLoading, {})) {
        if (action)
            action->setEnabled(true);
    }
    m_loading = false;
    if (std::exchange(m_closeAfterLoad, false))
        QMetaObject::invokeMethod(this, &MainWindow::close, Qt::QueuedConnection);
}

// Asks only for a modified document; the tool windows that go with it close either way.
// During a load it waits: the load gives up first and brings the old document back. A close
// agreed to ends the recovery journal, unless the session's end keeps it for the next start.
void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_loading) {
        m_closeAfterLoad = true;
        event->ignore();
        return;
    }
    bool cancel = false;
    if (m_journal->isKeptForNextStart()) {
        // Asks nothing: the work comes back at the next start.
    } else if (m_document->isModified()) {
        cancel = m_host.messageBox(QStringLiteral("File not saved. Are you sure you want to exit "
                                                  "without saving?"),
                     QStringLiteral("Confirm save"), Host::Icon::Question, Host::Buttons::YesNo,
                     Host::Button::No)
            == Host::Button::No;
    }
    ToolWindow::closeOwned(this);
    if (cancel) {
        event->ignore();
        return;
    }
    if (!m_journal->isKeptForNextStart())
        m_journal->discard();
    event->accept();
}
