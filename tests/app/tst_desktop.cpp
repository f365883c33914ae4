// The program on today's desktops: every window readable under a dark colour scheme and the
// default one, every window on the screen at twice the scale, the toolbar within the keyboard's
// reach, and what screen readers and window frames are told. Every test runs at twice the scale.
#include "app/assembly.h"
#include "fakehost.h"
#include "host/qthost.h"
#include "readaloud/loquenwindow.h"
#include "view/textview.h"
#include "windowsteps.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QMessageBox>
#include <QMetaEnum>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <memory>

namespace {

// The scripted host, but with the colours the real program takes from the desktop's scheme.
class SchemeHost : public FakeHost
{
public:
    QColor systemColor(int index) override { return QtHost().systemColor(index); }
};

// A dark scheme as desktops set it for Qt programs (Fusion's dark colours, as qt6ct sets them).
QPalette darkScheme()
{
    using P = QPalette;
    QPalette dark;
    for (const auto &[role, rgb] :
        std::initializer_list<std::pair<P::ColorRole, QRgb>> { { P::Window, 0x353535 },
            { P::WindowText, 0xffffff }, { P::Base, 0x2a2a2a }, { P::AlternateBase, 0x424242 },
            { P::ToolTipBase, 0x353535 }, { P::ToolTipText, 0xffffff },
            { P::PlaceholderText, 0x7f7f7f }, { P::Text, 0xffffff }, { P::Button, 0x353535 },
            { P::ButtonText, 0xffffff }, { P::BrightText, 0xff0000 }, { P::Light, 0x505050 },
            { P::Midlight, 0x424242 }, { P::Mid, 0x282828 }, { P::Dark, 0x232323 },
            { P::Shadow, 0x141414 }, { P::Link, 0x2a82da }, { P::LinkVisited, 0x8250da },
            { P::Highlight, 0x2a82da }, { P::HighlightedText, 0xffffff } })
        dark.setColor(role, QColor(rgb));
    for (const P::ColorRole role : { P::WindowText, P::Text, P::ButtonText, P::HighlightedText })
        dark.setColor(P::Disabled, role, QColor(0x7f7f7f));
    return dark;
}

// Relative luminance and contrast ratio as the Web Content Accessibility Guidelines define them.
double luminance(const QColor &colour)
{
    const auto linear
        = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
        + 0.0722 * linear(colour.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What a control draws its text in and on: its palette's foreground on its background role; a
// scrolled text or list draws the text colour on its viewport.
std::pair<QColor, QColor> textColours(const QWidget *control)
{
    const QPalette &palette = control->palette();
    if (const auto *scrolled = qobject_cast<const QAbstractScrollArea *>(control)) {
        return { palette.color(QPalette::Active, QPalette::Text),
            scrolled->viewport()->palette().color(
                QPalette::Active, scrolled->viewport()->backgroundRole()) };
    }
    return { palette.color(QPalette::Active, control->foregroundRole()),
        palette.color(QPalette::Active, control->backgroundRole()) };
}

// Controls that show text the user reads; an editable drop-down shows it in its text field,
// which is a control of its own. Disabled controls need not stand out.
bool bearsText(const QWidget *control)
{
    if (!control->isEnabled())
        return false;
    if (const auto *box = qobject_cast<const QComboBox *>(control))
        return !box->isEditable();
    return control->inherits("QLabel") || control->inherits("QAbstractButton")
        || control->inherits("QLineEdit") || control->inherits("QAbstractScrollArea")
        || control->inherits("QStatusBar") || control->inherits("QMenuBar");
}

// The control that has the keyboard: a toolbar button by its key, anything else by its name.
QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    if (!focus)
        return QStringLiteral("(none)");
    if (auto *button = qobject_cast<QToolButton *>(focus); button && button->defaultAction())
        return button->defaultAction()->data().toString();
    return focus->objectName();
}

} // namespace

namespace {

struct WindowRow
{
    const char *name; // the row's name
    const char *steps; // what the user does to open it
    const char *window; // its object name
};

// Every window of the program, in each of its states that shows other controls or colours.
constexpr WindowRow kWindows[] = {
    { "main window", "", "frmedit" },
    { "main window, Change Contrast", "mnucontrast", "frmedit" },
    { "main window, Change Contrast twice", "mnucontrast mnucontrast", "frmedit" },
    { "Find", "mnufind", "findreplace" },
    { "Find And Replace", "mnureplace", "findreplace" },
    { "Master Clipboard", "mnumasterclip", "tempclip" },
    { "Font", "facea", "setfontedit" },
    { "About", "about", "frmAbout" },
    { "Properties", "Properties", "Properties" },
    { "Loquen", "mnuloquen", "loquen" },
};

// Keys pressed in turn where the keyboard is, from the text: Qt's names ("F6", "Right").
void press(const QString &keys)
{
    for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts)) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY2(focus, qPrintable(key));
        QTest::keySequence(focus, QKeySequence(key));
    }
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_defaultScheme = QApplication::palette();
    }

    void init()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QObject::connect")));
        QApplication::setPalette(m_defaultScheme);
        m_host = std::make_unique<SchemeHost>();
        m_window = new MainWindow(*m_host);
        assembleSubsystems(*m_window);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    // The windows that outlive the editor (read-aloud, Properties) go with it here.
    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        QList<QPointer<QWidget>> left;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->parentWidget())
                left.append(window);
        }
        for (const QPointer<QWidget> &window : std::as_const(left))
            delete window.data();
        QCOMPARE(m_host->pendingAnswers(), 0);
        m_host.reset();
        QApplication::setPalette(m_defaultScheme);
    }

    void everyWindowReadsUnderEitherScheme_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("window");
        for (const bool dark : { true, false }) {
            for (const WindowRow &row : kWindows) {
                QTest::addRow("%s: %s", dark ? "dark" : "default", row.name)
                    << dark << row.steps << row.window;
            }
        }
    }

    // Every control that shows text, text and background at a contrast ratio of 4.5 or more (the
    // guidelines' AA level for body text); the failures are listed as "name: ratio".
    void everyWindowReadsUnderEitherScheme()
    {
        QFETCH(bool, dark);
        QFETCH(QString, steps);
        QFETCH(QString, window);
        if (dark)
            QApplication::setPalette(darkScheme());
        runSteps(*m_window, steps);
        QWidget *shown = shownWindow(window);
        QVERIFY(shown);
        QStringList unreadable;
        int checked = 0;
        for (const QWidget *control : shown->findChildren<QWidget *>()) {
            if (control->isWindow() || !control->isVisibleTo(shown) || !bearsText(control))
                continue;
            ++checked;
            const auto [text, background] = textColours(control);
            if (contrast(text, background) < 4.5) {
                unreadable << QStringLiteral("%1 %2: %3 on %4, %5")
                                  .arg(control->metaObject()->className(), control->objectName(),
                                      text.name(), background.name())
                                  .arg(contrast(text, background), 0, 'f', 1);
            }
        }
        QVERIFY(checked >= 2);
        QVERIFY2(unreadable.isEmpty(), qPrintable(unreadable.join(QStringLiteral("; "))));
    }

    void everyWindowFitsTheScreenAtTwiceTheScale_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("window");
        for (const WindowRow &row : kWindows) {
            if (QByteArray(row.steps).contains("mnucontrast"))
                continue; // colours only
            QTest::addRow("%s", row.name) << row.steps << row.window;
        }
    }

    // On the screen main() sets up; the failures list the frame or the controls that are not on
    // the screen or that their window's edge cuts.
    void everyWindowFitsTheScreenAtTwiceTheScale()
    {
        QFETCH(QString, steps);
        QFETCH(QString, window);
        runSteps(*m_window, steps);
        QWidget *shown = shownWindow(window);
        QVERIFY(shown && QTest::qWaitForWindowExposed(shown));
        const QRect room = shown->screen()->availableGeometry();
        QCOMPARE(room.size(), QSize(640, 512));
        QString outside;
        if (!room.contains(shown->frameGeometry()))
            QDebug(&outside) << "frame" << shown->frameGeometry();
        for (const QWidget *control : shown->findChildren<QWidget *>()) {
            const QRect place(control->mapToGlobal(QPoint(0, 0)), control->size());
            if (!control->isWindow() && control->isVisibleTo(shown)
                && !(room.contains(place) && shown->geometry().contains(place)))
                QDebug(&outside) << control << place;
        }
        QVERIFY2(outside.isEmpty(), qPrintable(outside));
    }

    void keyboardReachesEveryToolbarControl_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("effect"); // the font size, and the windows open besides
        // clang-format off
        QTest::newRow("F6: the first button") << "F6" << "New" << "9.75";
        QTest::newRow("F6 F6: back to the text") << "F6 F6" << "Area" << "9.75";
        QTest::newRow("Right past a separator and Copy and Cut, disabled: Paste")
            << "F6 Right Right Right Right" << "Paste" << "9.75";
        QTest::newRow("End: the clipboard box") << "F6 End" << "cmbtmp" << "9.75";
        QTest::newRow("Left from the first: round to the last") << "F6 Left" << "cmbtmp" << "9.75";
        QTest::newRow("Right from the last: round to the first") << "F6 End Right" << "New" << "9.75";
        QTest::newRow("End, typed into, Left: the caret moves")
            << "F6 End X Left" << "cmbtmp" << "9.75";
        QTest::newRow("End, typed into, Home, Left: leaves the text")
            << "F6 End X Home Left" << "Fontsmall" << "9.75";
        QTest::newRow("Home") << "F6 Right Right Home" << "New" << "9.75";
        QTest::newRow("Tab goes along too") << "F6 Tab" << "Open" << "9.75";
        QTest::newRow("Escape: back to the text") << "F6 Right Escape" << "Area" << "9.75";
        QTest::newRow("Enter on the big A: bigger, back to the text")
            << "F6 Left Left Left Return" << "Area" << "10.75";
        QTest::newRow("Space on the small A: smaller") << "F6 Left Left Space" << "Area" << "8.75";
        QTest::newRow("Space on Properties: it and About open")
            << "F6 Left Left Left Left Space" << "cmdOK" << "9.75 Properties frmAbout";
        // clang-format on
    }

    // F6 moves from the text to the toolbar and back, as from one part of a desktop program's
    // window to the next; the arrows, Home and End go along it; Enter and Space press.
    void keyboardReachesEveryToolbarControl()
    {
        QFETCH(QString, keys);
        QFETCH(QString, focus);
        QFETCH(QString, effect);
        QTRY_COMPARE(focusName(), QStringLiteral("Area"));
        press(keys);
        if (keys.endsWith(u"Space"))
            QTest::qWait(0); // a button pressed with Space acts on the key's release
        QString seen = QString::number(m_window->area()->font().pointSizeF());
        for (const char *name : { "Properties", "frmAbout" })
            seen += shownWindow(QLatin1String(name)) ? u' ' + QLatin1String(name) : QString();
        QCOMPARE(seen, effect);
        QTRY_COMPARE(focusName(), focus);
    }

    void screenReadersHearEachNameOnce_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("control"); // a toolbar button's key, or an object name
        QTest::addColumn<QString>("heard"); // role, name | description
        // clang-format off
        QTest::newRow("New: its name alone") << "" << "New" << "Button New|";
        QTest::newRow("Properties: its name alone") << "" << "Properties" << "Button Properties|";
        QTest::newRow("big A: what it does, once")
            << "" << "fontbig" << "Button Increase font size|";
        QTest::newRow("small A: what it does, once") << "" << "Fontsmall" << "Button Reduce font size|";
        QTest::newRow("clipboard box: its tooltip tells more")
            << "" << "cmbtmp"
            << "ComboBox Temporary Clipboard|"
               "Drag-Drop text into this. Then just select from here.(Alphabetical sorting)";
        QTest::newRow("Replace....: a link") << "mnufind" << "lblreplink" << "Link Replace....|";
        // clang-format on
    }

    // What a screen reader is told of a control: its role, its name, and its description, which
    // the toolkit fills from the tooltip.
    void screenReadersHearEachNameOnce()
    {
        QFETCH(QString, steps);
        QFETCH(QString, control);
        QFETCH(QString, heard);
        runSteps(*m_window, steps);
        QObject *object = nullptr;
        if (QAction *button = m_window->toolbar()->button(control))
            object = m_window->toolbar()->widgetForAction(button);
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!object)
                object = window->findChild<QWidget *>(control);
        }
        QVERIFY(object);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(object);
        QVERIFY(accessible);
        const QString role = QLatin1String(
            QMetaEnum::fromType<QAccessible::Role>().valueToKey(accessible->role()));
        QCOMPARE(role + u' ' + accessible->text(QAccessible::Name) + u'|'
                + accessible->text(QAccessible::Description),
            heard);
    }

    void fileDialogsSayWhatTheyDo_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("command"); // a row of the read-aloud window, or of the editor
        QTest::addColumn<QString>("title");
        // clang-format off
        QTest::newRow("editor: Open") << "" << "open" << "Open";
        QTest::newRow("editor: Save As") << "" << "saveas" << "Save As";
        QTest::newRow("Loquen: Load") << "mnuloquen" << "mnuloadfile" << "Open";
        QTest::newRow("Loquen: Save") << "mnuloquen" << "mnusave" << "Save As";
        // clang-format on
    }

    // Each file dialog is answered Cancel.
    void fileDialogsSayWhatTheyDo()
    {
        QFETCH(QString, steps);
        QFETCH(QString, command);
        QFETCH(QString, title);
        runSteps(*m_window, steps);
        const bool saving = command.startsWith(u"save") || command == u"mnusave";
        saving ? m_host->answerSaveFile(std::nullopt) : m_host->answerOpenFile(std::nullopt);
        auto *loquen = qobject_cast<LoquenWindow *>(shownWindow(QStringLiteral("loquen")));
        QAction *action = loquen ? loquen->command(command) : m_window->command(command);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(m_host->lastShown().title, title);
    }

    void messageBoxesAreAsWideAsTheirTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("prompt");
        // clang-format off
        QTest::newRow("untitled, short") << "" << "Search complete";
        QTest::newRow("long title, short text") << "Tarvex-Protection" << "Ok";
        QTest::newRow("Confirm Clear") << "Confirm Clear" << "This will clear the temporary clipboard. Proceed?";
        // clang-format on
    }

    // The real box, looked at while it is up and then put away with Escape. The window frame writes
    // its title in a bold face beside its icon and buttons: the box leaves room for the title and
    // at least four buttons of the frame's height.
    void messageBoxesAreAsWideAsTheirTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, prompt);
        QtHost host;
        int width = 0;
        QString shownTitle;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            width = box->width();
            shownTitle = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        host.messageBox(prompt, title, Host::Icon::None, Host::Buttons::Ok, {});
        QCOMPARE(shownTitle, title.isEmpty() ? QStringLiteral("Tarvex") : title);
        QFont bold = QApplication::font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        QVERIFY2(width >= metrics.horizontalAdvance(shownTitle) + 4 * metrics.height(),
            qPrintable(QString::number(width)));
        QVERIFY(width <= m_window->screen()->availableGeometry().width());
    }

private:
    QPalette m_defaultScheme;
    std::unique_ptr<SchemeHost> m_host;
    MainWindow *m_window = nullptr;
};

// Every test runs on a 1280 x 1024 screen at twice the scale, 640 x 512 in the toolkit's units:
// the scale is set before the application starts.
int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    QFile screens(dir.filePath(QStringLiteral("screen.json")));
    if (!screens.open(QIODevice::WriteOnly)
        || screens.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1280,
            "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
            < 0)
        return 1;
    screens.close();
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    QApplication app(argc, argv);
    TestDesktop test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_desktop.moc"
