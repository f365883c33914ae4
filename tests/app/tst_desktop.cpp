// The program on today's desktops: every window readable under a dark colour scheme and the
// default one and on the screen at twice the scale, the toolbar within the keyboard's reach, and
// what screen readers and window frames are told; and Help and About, through the assembled
// window. Every test runs at twice the scale.
#include "app/assembly.h"
#include "editor/maintoolbar.h"
#include "editor/mainwindow.h"
#include "fakehost.h"
#include "help/aboutwindow.h"
#include "host/qthost.h"
#include "readaloud/loquenwindow.h"
#include "textpicture.h"
#include "view/textview.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QMetaEnum>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// The scripted host, but with the colours the real program takes from the desktop's scheme.
class SchemeHost : public FakeHost
{
public:
    QColor systemColor(int index) override { return QtHost().systemColor(index); }
};

// Contrast ratio of relative luminances, as the Web Content Accessibility Guidelines define them.
double contrast(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &colour) {
        const auto linear = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF())
            + 0.0722 * linear(colour.blueF());
    };
    const auto [darker, lighter] = std::minmax({ luminance(a), luminance(b) });
    return (lighter + 0.05) / (darker + 0.05);
}

// Controls that show text the user reads; an editable drop-down shows it in its text field,
// which is a control of its own. Disabled controls need not stand out.
bool bearsText(const QWidget *control)
{
    if (const auto *box = qobject_cast<const QComboBox *>(control))
        return box->isEnabled() && !box->isEditable();
    return control->isEnabled()
        && (control->inherits("QLabel") || control->inherits("QAbstractButton")
            || control->inherits("QLineEdit") || control->inherits("QAbstractScrollArea")
            || control->inherits("QStatusBar") || control->inherits("QMenuBar"));
}

// The shown window named `name`, or null.
QWidget *shownWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

    // Does as the user does, step by step: a toolbar button's key ("Properties"), a row of the
    // read-aloud window while it is up ("mnusave") or of the main window ("mnureplace").
    void runSteps(const QString &steps)
    {
        for (const QString &step : steps.split(u' ', Qt::SkipEmptyParts)) {
            QAction *action = m_window->toolbar()->button(step);
            auto *loquen = qobject_cast<LoquenWindow *>(shownWindow(u"loquen"_s));
            if (!action && loquen)
                action = loquen->command(step);
            if (!action)
                action = m_window->command(step);
            QVERIFY2(action, qPrintable(step));
            action->trigger();
        }
    }

private slots:
    void init()
    {
        QTest::failOnWarning(QRegularExpression(u"QObject::connect"_s));
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
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->parentWidget())
                window->deleteLater();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m_host->pendingAnswers(), 0);
        m_host.reset();
        QApplication::setPalette(QPalette()); // an unset palette: the desktop's own scheme again
    }

    // Every window, in each of its states that shows other controls or colours; the dark scheme
    // is the one Qt makes of a dark window colour.
    void everyWindowReadsAndFitsTheScreen_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("window");
        const char *const windows[][3] = { { "main window", "", "frmedit" },
            { "main window, Change Contrast", "mnucontrast", "frmedit" },
            { "main window, Change Contrast twice", "mnucontrast mnucontrast", "frmedit" },
            { "Find", "mnufind", "findreplace" },
            { "Find And Replace", "mnureplace", "findreplace" },
            { "Master Clipboard", "mnumasterclip", "tempclip" }, { "Font", "facea", "setfontedit" },
            { "About", "about", "frmAbout" }, { "Properties", "Properties", "Properties" },
            { "Loquen", "mnuloquen", "loquen" } };
        for (const bool dark : { true, false }) {
            for (const auto &[name, steps, window] : windows)
                QTest::addRow("%s: %s", dark ? "dark" : "default", name) << dark << steps << window;
        }
    }

    // Every control that shows text, text and background at a contrast ratio of 4.5 or more (the
    // guidelines' AA level for body text), and every control on the screen main() sets up and
    // within its window's edge; the failures are listed.
    void everyWindowReadsAndFitsTheScreen()
    {
        QFETCH(bool, dark);
        QFETCH(QString, steps);
        QFETCH(QString, window);
        if (dark)
            QApplication::setPalette(QPalette(QColor(0x353535), QColor(0x353535)));
        runSteps(steps);
        QWidget *shown = shownWindow(window);
        QVERIFY(shown && QTest::qWaitForWindowExposed(shown));
        const QRect room = shown->screen()->availableGeometry();
        QCOMPARE(room.size(), QSize(640, 512));
        QString faults;
        if (!room.contains(shown->frameGeometry()))
            QDebug(&faults) << "frame" << shown->frameGeometry();
        int readable = 0;
        for (const QWidget *control : shown->findChildren<QWidget *>()) {
            if (control->isWindow() || !control->isVisibleTo(shown))
                continue;
            const QRect place(control->mapToGlobal(QPoint(0, 0)), control->size());
            if (!room.contains(place) || !shown->geometry().contains(place))
                QDebug(&faults) << control << place;
            if (!bearsText(control))
                continue;
            ++readable;
            // Its palette's foreground on its background; a scrolled text or list draws the text
            // colour on its viewport.
            const auto *scrolled = qobject_cast<const QAbstractScrollArea *>(control);
            const QWidget *ground = scrolled ? scrolled->viewport() : control;
            const QColor text = control->palette().color(
                QPalette::Active, scrolled ? QPalette::Text : control->foregroundRole());
            const QColor background
                = ground->palette().color(QPalette::Active, ground->backgroundRole());
            if (contrast(text, background) < 4.5)
                QDebug(&faults) << control << text.name() << "on" << background.name();
        }
        QVERIFY(readable >= 2);
        QVERIFY2(faults.isEmpty(), qPrintable(faults));
    }

    // F6 moves from the text to the toolbar and back, as from one part of a desktop program's
    // window to the next; the arrows, Home and End go along it; Enter and Space press. Then where
    // the keyboard is, the font size where it is not the opening 9.75, and the windows open.
    void keyboardReachesEveryToolbarControl_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("after");
        // clang-format off
        QTest::newRow("F6: the first button") << "F6" << "New";
        QTest::newRow("F6 F6: back to the text") << "F6 F6" << "Area";
        QTest::newRow("Right past disabled Copy, Cut") << "F6 Right Right Right Right" << "Paste";
        QTest::newRow("End: the clipboard box") << "F6 End" << "cmbtmp";
        QTest::newRow("Left from the first: round to the last") << "F6 Left" << "cmbtmp";
        QTest::newRow("Right from the last: round to the first") << "F6 End Right" << "New";
        QTest::newRow("End, typed into, Left: the caret moves") << "F6 End X Left" << "cmbtmp";
        QTest::newRow("End, typed, Home, Left: out") << "F6 End X Home Left" << "Fontsmall";
        QTest::newRow("Home") << "F6 Right Right Home" << "New";
        QTest::newRow("Tab goes along too") << "F6 Tab" << "Open";
        QTest::newRow("Escape: back to the text") << "F6 Right Escape" << "Area";
        QTest::newRow("Enter on the big A: bigger") << "F6 Left Left Left Return" << "Area 10.75";
        QTest::newRow("Space on the small A: smaller") << "F6 Left Left Space" << "Area 8.75";
        QTest::newRow("Space on Properties: About too")
            << "F6 Left Left Left Left Space" << "cmdOK Properties frmAbout";
        // clang-format on
    }

    void keyboardReachesEveryToolbarControl()
    {
        QFETCH(QString, keys);
        QFETCH(QString, after);
        // A toolbar button is named by its key, anything else by its object name.
        const auto seen = [this] {
            QWidget *focus = QApplication::focusWidget();
            auto *button = qobject_cast<QToolButton *>(focus);
            QString seen = button && button->defaultAction()
                ? button->defaultAction()->data().toString()
                : (focus ? focus->objectName() : u"(none)"_s);
            const qreal size = m_window->area()->font().pointSizeF();
            seen += size == 9.75 ? QString() : u' ' + QString::number(size);
            for (const QString name : { "Properties", "frmAbout" })
                seen += shownWindow(name) ? u' ' + name : QString();
            return seen;
        };
        QTRY_COMPARE(seen(), u"Area"_s);
        for (const QString &key : keys.split(u' '))
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
        QTRY_COMPARE(seen(), after);
    }

    // What a screen reader is told of a control, with the Find window up: its role, its name, and
    // its description, which the toolkit fills from the tooltip.
    void screenReadersHearEachNameOnce_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("heard"); // role, name | description
        // clang-format off
        QTest::newRow("New: its name alone") << "New" << "Button New|";
        QTest::newRow("Properties: its name alone") << "Properties" << "Button Properties|";
        QTest::newRow("big A: its job, once") << "fontbig" << "Button Increase font size|";
        QTest::newRow("small A: its job, once") << "Fontsmall" << "Button Reduce font size|";
        QTest::newRow("clipboard box: its tooltip tells more") << "cmbtmp"
            << "ComboBox Temporary Clipboard|"
               "Drag-Drop text into this. Then just select from here.(Alphabetical sorting)";
        QTest::newRow("Replace....: a link") << "lblreplink" << "Link Replace....|";
        // clang-format on
    }

    void screenReadersHearEachNameOnce()
    {
        QFETCH(QString, control);
        QFETCH(QString, heard);
        runSteps(u"mnufind"_s); // the Find window, for its link
        // A toolbar button by its key, anything else by its object name, in any window.
        QAction *button = m_window->toolbar()->button(control);
        QWidget *widget = button ? m_window->toolbar()->widgetForAction(button) : nullptr;
        for (QWidget *window : QApplication::topLevelWidgets())
            widget = widget ? widget : window->findChild<QWidget *>(control);
        QAccessibleInterface *told = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(told);
        const char *role = QMetaEnum::fromType<QAccessible::Role>().valueToKey(told->role());
        QCOMPARE(QLatin1String(role) + u' ' + told->text(QAccessible::Name) + u'|'
                + told->text(QAccessible::Description),
            heard);
    }

    // Steps that end in a file dialog, answered Cancel, and the dialog's title.
    void fileDialogsSayWhatTheyDo_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("title");
        // clang-format off
        QTest::newRow("editor: Open") << "open" << "Open";
        QTest::newRow("editor: Save As") << "saveas" << "Save As";
        QTest::newRow("Loquen: Load") << "mnuloquen mnuloadfile" << "Open";
        QTest::newRow("Loquen: Save") << "mnuloquen mnusave" << "Save As";
        // clang-format on
    }

    void fileDialogsSayWhatTheyDo()
    {
        QFETCH(QString, steps);
        QFETCH(QString, title);
        // The scripted host fails a dialog of the other kind.
        title == u"Open" ? m_host->answerOpenFile({}) : m_host->answerSaveFile({});
        runSteps(steps);
        QCOMPARE(m_host->lastShown().title, title);
    }

    void messageBoxesAreAsWideAsTheirTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("untitled") << "";
        QTest::newRow("long title, short text") << "Tarvex-Protection";
    }

    // The real box, looked at while it is up and then put away with Escape. The window frame writes
    // its title in a bold face beside its icon and buttons: the box leaves room for the title and
    // at least four buttons of the frame's height, and stays on the screen.
    void messageBoxesAreAsWideAsTheirTitle()
    {
        QFETCH(QString, title);
        QString seenTitle;
        int width = 0;
        QTimer::singleShot(0, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                width = box->width();
                seenTitle = box->windowTitle();
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        QtHost().messageBox(u"Ok"_s, title, Host::Icon::None, Host::Buttons::Ok, {});
        QCOMPARE(seenTitle, title.isEmpty() ? u"Tarvex"_s : title);
        QFont bold = QApplication::font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        QVERIFY2(width >= metrics.horizontalAdvance(seenTitle) + 4 * metrics.height(),
            qPrintable(QString::number(width)));
        QVERIFY(width <= m_window->screen()->availableGeometry().width());
    }

    // Help puts its text (tests/data/helptext.txt, its lines ended by CR LF and none after the
    // last) in place of the selection at once on an unmodified document, asks first on a modified
    // one (its words: tst_filecommands; No: tst_editor's "Help, modified: No"), and goes out with
    // one Undo. About shows one window however often it is asked for (Escape closing it:
    // tst_editor's secondaryWindowsAreNamedDialogs).
    void helpGoesInAndAboutShowsOnce()
    {
        QFile file(QFINDTESTDATA("../data/helptext.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString help = QString::fromUtf8(file.readAll()).trimmed().replace(u'\n', u"\r\n"_s);
        Document &document = m_window->document();
        TextPicture::show(document, u"a[-]b"_s);
        runSteps(u"helpa"_s);
        QCOMPARE(document.text(), u'a' + help + u'b');
        m_host->answerMessage(Host::Button::Yes);
        runSteps(u"helpa"_s);
        document.undo();
        document.undo();
        QCOMPARE(document.text(), u"a-b"_s);
        runSteps(u"about about"_s);
        QCOMPARE(std::ranges::count_if(QApplication::topLevelWidgets(),
                     [](QWidget *w) { return qobject_cast<AboutWindow *>(w) && w->isVisible(); }),
            1);
    }

private:
    std::unique_ptr<SchemeHost> m_host;
    MainWindow *m_window = nullptr;
};

// Every test runs on a 1280 x 1024 screen at twice the scale, 640 x 512 in the toolkit's units:
// the scale is set before the application starts.
int main(int argc, char *argv[])
{
    const QByteArray screen = R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1280,
        "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";
    QTemporaryFile screens;
    if (!screens.open() || screens.write(screen) != screen.size() || !screens.flush())
        return 1;
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    QApplication app(argc, argv);
    TestDesktop test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_desktop.moc"
