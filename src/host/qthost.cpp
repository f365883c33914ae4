#include "qthost.h"

#include "keystrokes.h"
#include "printing.h"
#include "qtspeechengine.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

namespace {

QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

// Counts the boxes open at once, so that timers can tell a handler is waiting in one.
class ModalScope
{
public:
    explicit ModalScope(int &depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~ModalScope() { --m_depth; }

private:
    int &m_depth;
};

// Appears after half a second, so that a quick task shows nothing; until then the task runs
// without letting events through. It is modal to its owner, not to whatever window happens to be
// active (none, right after a file dialog has closed): its event loop must not let input reach
// the owner.
class ProgressDialog : public Progress
{
public:
    ProgressDialog(QWidget *owner, const QString &label, const QString &title, int &modalDepth)
        : m_dialog(label, QStringLiteral("Cancel"), 0, 100, owner)
        , m_scope(modalDepth)
    {
        m_dialog.setWindowTitle(title.isEmpty() ? Host::programTitle() : title);
        m_dialog.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }

    // Events go through only once the dialog is up and keeps the window's input away from the
    // task; the dialog itself does so on every new value only.
    void setValue(int percent) override
    {
        if (percent != m_dialog.value())
            m_dialog.setValue(percent);
        else if (m_dialog.isVisible())
            QCoreApplication::processEvents();
    }
    bool wasCanceled() const override { return m_dialog.wasCanceled(); }

private:
    QProgressDialog m_dialog;
    ModalScope m_scope;
};

QMessageBox::Icon toQtIcon(Host::Icon icon)
{
    switch (icon) {
    case Host::Icon::Information:
        return QMessageBox::Information;
    case Host::Icon::Exclamation:
        return QMessageBox::Warning;
    case Host::Icon::Question:
        return QMessageBox::Question;
    case Host::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQtButton(Host::Button button)
{
    switch (button) {
    case Host::Button::Yes:
        return QMessageBox::Yes;
    case Host::Button::No:
        return QMessageBox::No;
    case Host::Button::Cancel:
        return QMessageBox::Cancel;
    case Host::Button::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons toQtButtons(Host::Buttons buttons)
{
    switch (buttons) {
    case Host::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Host::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Host::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The window system writes a box's title in its own, often bold, face between the window's icon
// and its frame buttons, and cuts it short where the box is narrower ("Ta…"). The box is made
// at least that wide, within the screen's width, which the box keeps to itself.
void makeRoomForTitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int frameButtons = 6 * metrics.height(); // the icon, up to four buttons, the margins
    const int room = metrics.horizontalAdvance(box.windowTitle()) + frameButtons;
    grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Fixed, QSizePolicy::Minimum),
        grid->rowCount(), 0, 1, grid->columnCount());
}

// A dialog's chosen name gets the default extension when the user typed none.
QString withDefaultExtension(const QString &path, const QString &extension)
{
    if (extension.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + extension;
}

void configureFileDialog(QFileDialog &dialog, const Host::FileDialog &request)
{
    dialog.setWindowTitle(request.title);
    dialog.setNameFilter(request.filter);
    dialog.setDefaultSuffix(request.defaultExtension);
    // Qt would start in the folder its dialog last visited in an earlier run; every run of the
    // program starts alike, in the current folder, unless a full path says otherwise.
    if (!QFileInfo(request.fileName).isAbsolute())
        dialog.setDirectory(QDir::currentPath());
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}

} // namespace

Host::Button QtHost::messageBox(const QString &prompt, const QString &title, Icon icon,
    Buttons buttons, std::optional<Button> defaultButton)
{
    QMessageBox box(toQtIcon(icon), title.isEmpty() ? programTitle() : title, prompt,
        toQtButtons(buttons), dialogParent());
    if (defaultButton)
        box.setDefaultButton(toQtButton(*defaultButton));
    // Escape and the close box give this button; without Cancel, a Yes/No box gives No.
    if (buttons == Buttons::YesNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    makeRoomForTitle(box);
    ModalScope scope(m_modalDepth);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Button::Yes;
    case QMessageBox::No:
        return Button::No;
    case QMessageBox::Cancel:
        return Button::Cancel;
    default:
        return buttons == Buttons::YesNo ? Button::No : Button::Ok;
    }
}

// Buttons of the action role keep the order given, whatever the platform's order of roles.
int QtHost::choiceBox(const Choice &choice)
{
    QMessageBox box(toQtIcon(choice.icon), choice.title.isEmpty() ? programTitle() : choice.title,
        choice.prompt, QMessageBox::NoButton, dialogParent());
    QList<QPushButton *> buttons;
    for (const QString &answer : choice.answers)
        buttons.append(box.addButton(answer, QMessageBox::ActionRole));
    box.setDefaultButton(buttons.value(choice.defaultAnswer));
    box.setEscapeButton(buttons.value(choice.escapeAnswer));
    ModalScope scope(m_modalDepth);
    box.exec();
    // No button at all when the box was taken down from outside (the program quitting).
    const int chosen = int(buttons.indexOf(box.clickedButton()));
    return chosen >= 0 ? chosen : choice.escapeAnswer;
}

QString QtHost::inputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    bool accepted = false;
    ModalScope scope(m_modalDepth);
    const QString text
        = QInputDialog::getText(dialogParent(), title.isEmpty() ? programTitle() : title, prompt,
            QLineEdit::Normal, defaultText, &accepted);
    return accepted ? text : QString();
}

QString QtHost::passwordBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title.isEmpty() ? programTitle() : title);
    dialog.setLabelText(prompt);
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setTextValue(defaultText);
    // A long prompt wraps at about sixty characters instead of stretching the box past the
    // screen.
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        label->setWordWrap(true);
        label->setMinimumWidth(label->fontMetrics().averageCharWidth() * 60);
    }
    ModalScope scope(m_modalDepth);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

std::optional<QString> QtHost::openFileName(const FileDialog &request)
{
    QFileDialog dialog(dialogParent());
    configureFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    ModalScope scope(m_modalDepth);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtHost::saveFileName(const FileDialog &request)
{
    QFileDialog dialog(dialogParent());
    configureFileDialog(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    ModalScope scope(m_modalDepth);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return withDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExtension);
}

bool QtHost::printText(const QString &text, const QFont &font)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, dialogParent());
    ModalScope scope(m_modalDepth);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printPlainText(printer, text, font);
    return true;
}

std::unique_ptr<Progress> QtHost::showProgress(
    QWidget *owner, const QString &label, const QString &title)
{
    return std::make_unique<ProgressDialog>(owner, label, title, m_modalDepth);
}

bool QtHost::isShowingModal() const
{
    return m_modalDepth > 0 || QApplication::activeModalWidget();
}

namespace {

// The first number after `key` in a /proc file such as "MemAvailable:   6083712 kB", or -1.
qint64 procNumber(const QString &path, const QByteArray &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray content = file.readAll(); // a /proc file reports no size: read to the end
    const qsizetype at = content.indexOf(key);
    if (at < 0)
        return -1;
    bool ok = false;
    const qint64 number
        = content.mid(at + key.size()).trimmed().split(' ').value(0).toLongLong(&ok);
    return ok ? number : -1;
}

} // namespace

qint64 QtHost::memoryAvailable() const
{
    qint64 available = std::numeric_limits<qint64>::max();
    if (const qint64 kB = procNumber(QStringLiteral("/proc/meminfo"), "MemAvailable:"); kB >= 0)
        available = kB * 1024;
    rlimit limit {};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        // The limit counts every mapping of the process, not only the memory in use.
        const qint64 pages = procNumber(QStringLiteral("/proc/self/statm"), "");
        const qint64 used = std::max<qint64>(pages, 0) * sysconf(_SC_PAGESIZE);
        available = std::min(available, std::max<qint64>(qint64(limit.rlim_cur) - used, 0));
    }
    return available;
}

QString QtHost::clipboardText()
{
    return QApplication::clipboard()->text();
}

void QtHost::setClipboardText(const QString &text)
{
    QApplication::clipboard()->setText(text);
}

void QtHost::clearClipboard()
{
    QApplication::clipboard()->clear();
}

void QtHost::postKeystrokes(const QString &text)
{
    ::postKeystrokes(QApplication::focusWidget(), text);
}

QColor QtHost::systemColor(int index)
{
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 4: // menu
        return palette.color(QPalette::Window);
    case 5: // window background
        return palette.color(QPalette::Base);
    case 7: // menu text
        return palette.color(QPalette::WindowText);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 9: // active title-bar text
        return palette.color(QPalette::HighlightedText);
    case 13: // highlight
        return palette.color(QPalette::Highlight);
    case 14: // highlighted text
        return palette.color(QPalette::HighlightedText);
    case 15: // button face
        return palette.color(QPalette::Button);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Window);
    }
}

QStringList QtHost::screenFonts()
{
    return QFontDatabase::families();
}

QDateTime QtHost::currentDateTime()
{
    return QDateTime::currentDateTime();
}

std::unique_ptr<SpeechEngine> QtHost::createSpeechEngine()
{
    return std::make_unique<QtSpeechEngine>();
}
