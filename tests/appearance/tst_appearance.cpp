#include "appearance/appearancecommands.h"
#include "appearance/fontchooser.h"
#include "editor/frmedit.h"
#include "editor/maintoolbar.h"
#include "fakehost.h"
#include "host/editarea.h"
#include "windowtest.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestAppearance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void styleRowsToggleFontAndCheck_data();
    void styleRowsToggleFontAndCheck();
    void sizeRowCheckedAloneAndShown_data();
    void sizeRowCheckedAloneAndShown();
    void increaseFromTheOpeningSizeGives1075();
    void buttonsUncheckEverySizeRow();
    void reduceStopsAtOnePoint();
    void styleAndSizeCoverTheWholeText();
    void contrastThreeTimesEqualsOnce();
    void defaultFacesAreReadableWhereTheyAreMissing_data();
    void defaultFacesAreReadableWhereTheyAreMissing();
    void chooserListsEveryScreenFontOnce();
    void chooserOpensBesideTheMainWindow();
    void typingAFaceAndEnterSetsIt();
    void chooserPreviewFollowsEveryLetter();
    void setChangesOnlyTheFace();
    void emptyBoxOnSetChangesNothing();
    void chooserIsOneWindowAndFillsAnewAfterClosing();
    void mainWindowCloseClosesTheChooser();

private:
    QString sizeRowsChecked() const;
    FontChooser *openChooser();

    FakeHost *m_host = nullptr;
    frmedit *m_window = nullptr;
};

void TestAppearance::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestAppearance::init()
{
    m_host = new FakeHost;
    m_window = WindowTest::open(*m_host);
    QVERIFY(m_window);
}

void TestAppearance::cleanup()
{
    WindowTest::close(m_window);
    QCOMPARE(m_host->pendingAnswers(), 0);
    delete m_host;
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!qobject_cast<FontChooser *>(window), "a font chooser outlived its window");
}

QString TestAppearance::sizeRowsChecked() const
{
    QStringList checked;
    for (const char *row : { "eight", "ten", "twelve", "fourteen", "sixteen" }) {
        if (m_window->command(QLatin1String(row))->isChecked())
            checked << QLatin1String(row);
    }
    return checked.join(u',');
}

FontChooser *TestAppearance::openChooser()
{
    m_window->command("facea")->trigger();
    return m_window->findChild<AppearanceCommands *>()->fontChooser();
}

void TestAppearance::styleRowsToggleFontAndCheck_data()
{
    QTest::addColumn<QString>("row");
    QTest::newRow("Bold") << "bold";
    QTest::newRow("Italics") << "italics";
    QTest::newRow("Underline") << "underline";
}

void TestAppearance::styleRowsToggleFontAndCheck()
{
    QFETCH(QString, row);
    auto style = [&] {
        const QFont font = m_window->area()->font();
        return row == "bold" ? font.bold() : row == "italics" ? font.italic() : font.underline();
    };
    QAction *action = m_window->command(row);
    QVERIFY(!style());
    action->trigger();
    QVERIFY(style());
    QVERIFY(action->isChecked());
    action->trigger();
    QVERIFY(!style());
    QVERIFY(!action->isChecked());
    QCOMPARE(m_window->area()->font().weight(), QFont::Normal);
}

void TestAppearance::sizeRowCheckedAloneAndShown_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<double>("size");
    QTest::newRow("8") << "eight" << 8.0;
    QTest::newRow("12") << "twelve" << 12.0;
    QTest::newRow("16") << "sixteen" << 16.0;
}

void TestAppearance::sizeRowCheckedAloneAndShown()
{
    QFETCH(QString, row);
    QFETCH(double, size);
    m_window->command("ten")->trigger();
    m_window->command(row)->trigger();
    QCOMPARE(m_window->area()->font().pointSizeF(), size);
    QCOMPARE(sizeRowsChecked(), row);
    QVERIFY(m_window->statusText().startsWith(
        QStringLiteral("Font size %1  |  Font name Comic Sans MS  |").arg(size)));
    // Choosing the checked row again keeps it checked.
    m_window->command(row)->trigger();
    QCOMPARE(sizeRowsChecked(), row);
}

void TestAppearance::increaseFromTheOpeningSizeGives1075()
{
    QTest::mouseClick(m_window->toolbar()->fontbig(), Qt::LeftButton);
    QCOMPARE(m_window->area()->font().pointSizeF(), 10.75);
    QVERIFY(m_window->statusText().startsWith(QStringLiteral("Font size 10.75  |")));
    QCOMPARE(QApplication::focusWidget(), m_window->area());
}

void TestAppearance::buttonsUncheckEverySizeRow()
{
    m_window->command("eight")->trigger();
    m_window->toolbar()->fontbig()->click();
    m_window->toolbar()->fontbig()->click();
    QCOMPARE(m_window->area()->font().pointSizeF(), 10.0);
    QCOMPARE(sizeRowsChecked(), QString());
    m_window->toolbar()->fontsmall()->click();
    QCOMPARE(m_window->area()->font().pointSizeF(), 9.0);
    QVERIFY(m_window->statusText().startsWith(QStringLiteral("Font size 9  |")));
}

void TestAppearance::reduceStopsAtOnePoint()
{
    m_window->command("eight")->trigger();
    for (int i = 0; i < 12; ++i)
        m_window->toolbar()->fontsmall()->click();
    QCOMPARE(m_window->area()->font().pointSizeF(), 1.0);
    for (int i = 0; i < 5; ++i)
        m_window->toolbar()->fontbig()->click();
    QCOMPARE(m_window->area()->font().pointSizeF(), 6.0);
}

void TestAppearance::styleAndSizeCoverTheWholeText()
{
    m_window->area()->setText(QStringLiteral("one two"));
    m_window->area()->select(0, 3);
    m_window->command("bold")->trigger();
    m_window->command("fourteen")->trigger();
    QVERIFY(m_window->area()->font().bold());
    // The text carries no format of its own: all of it shows in the area's font.
    QTextCursor cursor(m_window->area()->document());
    cursor.setPosition(6);
    QVERIFY(!cursor.charFormat().hasProperty(QTextFormat::FontWeight));
    QCOMPARE(m_window->area()->text(), QStringLiteral("one two"));
}

void TestAppearance::contrastThreeTimesEqualsOnce()
{
    auto colours = [this] {
        const QPalette palette = m_window->area()->palette();
        return qMakePair(palette.color(QPalette::Base), palette.color(QPalette::Text));
    };
    m_window->command("mnucontrast")->trigger();
    const auto once = colours();
    QCOMPARE(once.first, m_host->systemColor(7));
    QCOMPARE(once.second, m_host->systemColor(9));
    m_window->command("mnucontrast")->trigger();
    QCOMPARE(colours().first, m_host->systemColor(9));
    QCOMPARE(colours().second, m_host->systemColor(7));
    m_window->command("mnucontrast")->trigger();
    QCOMPARE(colours(), once);
}

namespace {

// A fontconfig set-up like this machine's, less the alias that fonts-comic-neue adds for
// "Comic Sans MS", and less the fonts whose files match `rejected`.
bool writeFontSetUp(const QString &path, const QString &cache, const QString &rejected)
{
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig>\n"
                                  "<dir>/usr/share/fonts</dir>\n<cachedir>%1</cachedir>\n")
                       .arg(cache);
    if (!rejected.isEmpty()) {
        text
            += QStringLiteral("<selectfont><rejectfont><glob>%1</glob></rejectfont></selectfont>\n")
                   .arg(rejected);
    }
    const QDir rules(QStringLiteral("/etc/fonts/conf.d"));
    for (const QString &rule : rules.entryList({ QStringLiteral("*.conf") }, QDir::Files)) {
        if (!rule.contains(QLatin1String("comic")))
            text += QStringLiteral("<include>%1</include>\n").arg(rules.filePath(rule));
    }
    text += QStringLiteral("</fontconfig>\n");
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
}

QString withoutFoundry(QString family)
{
    return family.remove(QRegularExpression(QStringLiteral("\\s*\\[.*\\]\\s*$")));
}

} // namespace

// Where "Comic Sans MS" is missing, fontconfig alone draws it in a calligraphic script (URW
// Z003); the program asks for a readable face in its place.
void TestAppearance::defaultFacesAreReadableWhereTheyAreMissing_data()
{
    QTest::addColumn<QString>("rejected");
    QTest::newRow("no Comic Sans alias") << "";
    QTest::newRow("no Comic Neue either") << "*/comic-neue/*";
}

void TestAppearance::defaultFacesAreReadableWhereTheyAreMissing()
{
    QFETCH(QString, rejected);
    QTemporaryDir dir;
    const QString setUp = dir.filePath(QStringLiteral("fonts.conf"));
    QVERIFY(writeFontSetUp(setUp, dir.filePath(QStringLiteral("cache")), rejected));

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FONTCONFIG_FILE"), setUp);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(FACEPROBE), {});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.exitCode(), 0);
    const QStringList lines
        = QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    for (const QString &line : lines) {
        const QString asked = line.section(u'=', 0, 0);
        const QString drawn = withoutFoundry(line.section(u'=', 1));
        QVERIFY2(drawn == asked || QFont::substitutes(asked).contains(drawn, Qt::CaseInsensitive),
            qPrintable(line));
    }
}

void TestAppearance::chooserListsEveryScreenFontOnce()
{
    // Where more than one foundry makes a family, the list of screen fonts names each.
    m_host->fonts = QStringList { "Arial", "Nimbus Sans [urw]", "Comic Sans MS",
        "Nimbus Sans [UKWN]", "Courier New" };
    FontChooser *chooser = openChooser();
    QVERIFY(chooser);
    QVERIFY(chooser->isVisible());
    QCOMPARE(chooser->windowTitle(), QStringLiteral("Font"));
    QStringList listed;
    for (int i = 0; i < chooser->combo()->count(); ++i)
        listed << chooser->combo()->itemText(i);
    QCOMPARE(listed, (QStringList { "Arial", "Nimbus Sans", "Comic Sans MS", "Courier New" }));
    QCOMPARE(chooser->combo()->currentText(), QStringLiteral("Comic Sans MS"));
    QCOMPARE(chooser->preview()->font().family(), QStringLiteral("Comic Sans MS"));
    QCOMPARE(chooser->preview()->text(), QStringLiteral("Preview"));
}

void TestAppearance::chooserOpensBesideTheMainWindow()
{
    m_window->move(0, 0);
    FontChooser *chooser = openChooser();
    QVERIFY(!chooser->frameGeometry().intersects(m_window->frameGeometry()));
    QVERIFY(m_window->screen()->availableGeometry().contains(chooser->frameGeometry()));
    // Room for the longer family names.
    const QString name = QStringLiteral("DejaVu Serif Condensed");
    QVERIFY(chooser->combo()->lineEdit()->width()
        > chooser->combo()->fontMetrics().horizontalAdvance(name));
}

void TestAppearance::typingAFaceAndEnterSetsIt()
{
    FontChooser *chooser = openChooser();
    QTRY_COMPARE(QApplication::activeWindow(), chooser);
    // Over the face shown, which is selected; the box completes the name from its list.
    QTest::keyClicks(nullptr, QStringLiteral("Cour"));
    QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Return);
    QCOMPARE(m_window->area()->font().family(), QStringLiteral("Courier New"));
    QTRY_VERIFY(!m_window->findChild<AppearanceCommands *>()->fontChooser());
}

void TestAppearance::chooserPreviewFollowsEveryLetter()
{
    FontChooser *chooser = openChooser();
    const qreal labelSize = chooser->preview()->font().pointSizeF();
    chooser->combo()->clearEditText();
    QStringList seen;
    const QString typed = QStringLiteral("Arial");
    for (const QChar ch : typed) {
        QTest::keyClicks(chooser->combo(), QString(ch));
        seen << chooser->preview()->font().family();
    }
    QCOMPARE(seen, (QStringList { "A", "Ar", "Ari", "Aria", "Arial" }));
    QCOMPARE(chooser->preview()->font().pointSizeF(), labelSize);

    chooser->combo()->setCurrentIndex(2);
    emit chooser->combo()->textActivated(chooser->combo()->itemText(2));
    QCOMPARE(chooser->preview()->font().family(), m_host->fonts.at(2));
    QCOMPARE(m_window->area()->font().family(), QStringLiteral("Comic Sans MS"));
}

void TestAppearance::setChangesOnlyTheFace()
{
    m_window->command("italics")->trigger();
    m_window->command("twelve")->trigger();
    FontChooser *chooser = openChooser();
    chooser->combo()->setEditText(QStringLiteral("Courier New"));
    QTest::mouseClick(chooser->setButton(), Qt::LeftButton);

    const QFont font = m_window->area()->font();
    QCOMPARE(font.family(), QStringLiteral("Courier New"));
    QVERIFY(font.italic());
    QVERIFY(!font.bold());
    QCOMPARE(font.pointSizeF(), 12.0);
    QCOMPARE(m_window->statusText(),
        QStringLiteral("Font size 12  |  Font name Courier New  |   Number of lines:  0  |   "
                       "Auto Save: False"));
    QTRY_VERIFY(!m_window->findChild<AppearanceCommands *>()->fontChooser());
}

void TestAppearance::emptyBoxOnSetChangesNothing()
{
    FontChooser *chooser = openChooser();
    chooser->combo()->setEditText(QString());
    chooser->setButton()->click();
    QCOMPARE(m_window->area()->font().family(), QStringLiteral("Comic Sans MS"));
    QVERIFY(chooser->isVisible());
}

void TestAppearance::chooserIsOneWindowAndFillsAnewAfterClosing()
{
    FontChooser *first = openChooser();
    first->combo()->setEditText(QStringLiteral("typed"));
    QCOMPARE(openChooser(), first);
    QCOMPARE(first->combo()->currentText(), QStringLiteral("typed")); // not filled again

    first->close();
    QTRY_VERIFY(!m_window->findChild<AppearanceCommands *>()->fontChooser());
    m_host->fonts << QStringLiteral("Newly Installed");
    FontChooser *second = openChooser();
    QCOMPARE(second->combo()->count(), m_host->fonts.size());
    QCOMPARE(second->combo()->currentText(), QStringLiteral("Comic Sans MS"));
}

void TestAppearance::mainWindowCloseClosesTheChooser()
{
    QPointer<FontChooser> chooser = openChooser();
    QTest::keyClicks(m_window->area(), "x");
    m_host->answerMessage(Host::Button::No); // the close is cancelled ...
    m_window->close();
    QVERIFY(m_window->isVisible());
    QTRY_VERIFY(!chooser); // ... but the chooser closes anyway
}

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
