#include "frmedit.h"

#include "host/editarea.h"
#include "host/host.h"
#include "statustext.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace {

const QString kUntitled = QStringLiteral("Untitled");
const QString kModified = QStringLiteral("*");

} // namespace

frmedit::frmedit(Host &host, QWidget *parent)
    : QMainWindow(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmedit"));
    resize(583, 400);

    m_area = new EditArea(this);
    QFont font(QStringLiteral("Comic Sans MS"));
    font.setPointSizeF(9.75);
    m_area->setFont(font);
    setCentralWidget(m_area);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(false);
    m_statusText = new QLabel(this);
    m_statusText->setObjectName(QStringLiteral("statustext"));
    statusBar()->addWidget(m_statusText, 1);

    m_commands = buildCommands(menuBar(), commandRows(), this);
    m_area->setMenuShortcuts(m_commands.shortcuts);

    connect(m_area, &EditArea::changed, this, &frmedit::Area_Change);

    Form_Load();
    m_area->setFocus();
}

frmedit::~frmedit() = default;

QList<CommandRow> frmedit::commandRows()
{
    const QString file = QStringLiteral("file");
    return {
        CommandRow::menu({}, file, QStringLiteral("&File")),
        CommandRow::row(file, QStringLiteral("new"), QStringLiteral("&New"),
                        QStringLiteral("Ctrl+N"), [this] { new_Click(); }),
        CommandRow::separator(file, QStringLiteral("mnudashi")),
        CommandRow::row(file, QStringLiteral("exit"), QStringLiteral("E&xit"),
                        QStringLiteral("Ctrl+E"), [this] { exit_Click(); }),
    };
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
    m_star.clear();
    m_saveme = kUntitled;
    statupload();
    setTitle(TitleSuffix::StartUp);
}

void frmedit::setTitle(TitleSuffix suffix)
{
    m_title = documentTitle(m_saveme, m_star, suffix);
    setWindowTitle(windowTitleFor(m_title));
}

void frmedit::statupload()
{
    const QFont font = m_area->font();
    m_statusText->setText(statusBarText(font.pointSizeF(), font.family(), m_linecount,
                                        isChecked(QStringLiteral("mnuautosave"))));
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
    m_star = kModified;
    setTitle(TitleSuffix::Edited);
    refreshlinecount();
    statupload();
}

void frmedit::new_Click()
{
    if (isModified()
        && m_host.messageBox(QStringLiteral("File not saved. Proceed?"),
                             QStringLiteral("Confirm save"), Host::Icon::Question,
                             Host::Buttons::YesNo)
                != Host::Button::Yes) {
        m_area->setFocus();
        return;
    }
    m_area->setText(QString(), EditArea::History::Reset);
    m_saveme = kUntitled;
    m_star.clear();
    setTitle(TitleSuffix::Edited);
    m_area->setFocus();
    m_area->setLocked(false);
    m_loadedfromfile = false;
}

void frmedit::exit_Click()
{
    close();
}

// Form_Unload: asks only for a modified document; the secondary windows close either way.
void frmedit::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    if (isModified()) {
        cancel = m_host.messageBox(QStringLiteral("File not saved. Are you sure you want to exit "
                                                  "without saving?"),
                                   QStringLiteral("Confirm save"), Host::Icon::Question,
                                   Host::Buttons::YesNo, Host::Button::No)
                == Host::Button::No;
    }
    emit closingSecondaryWindows();
    if (cancel)
        event->ignore();
    else
        event->accept();
}
