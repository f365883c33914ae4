#include "appearance/fontchooser.h"
#include "editor/maintoolbar.h"
#include "windowfixture.h"

#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

class TestAppearance : public WindowFixture
{
    Q_OBJECT

private slots:
    // Rows (bold, eight), buttons (fontbig, Fontsmall; Command1 is Set in the font window) and a
    // face typed into the font window ("type:Arial") in turn; then the size, whether the font is
    // bold, italic and underlined, the background and text colours by system colour index (15/0:
    // the opening white and black), the checked rows, and the face where it is not the opening one.
    // The scripted host's title-bar text (9) does not read on its menu text (7): the scheme's black
    // text (0) takes its place.
    void fontRows_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("font");
        // clang-format off
        QTest::newRow("opening size, Bigger") << "fontbig" << "10.75 000 15/0";
        QTest::newRow("12 after 10: checked alone") << "ten twelve" << "12 000 15/0 twelve";
        QTest::newRow("16 twice stays checked") << "sixteen sixteen" << "16 000 15/0 sixteen";
        QTest::newRow("8, 2 Bigger, Smaller") << "eight fontbig fontbig Fontsmall" << "9 000 15/0";
        QTest::newRow("Smaller stops at 1")
            << "eight" + QString(" Fontsmall").repeated(8) + " fontbig" << "2 000 15/0";
        QTest::newRow("Bold, Italics") << "bold italics" << "9.75 110 15/0 bold italics";
        QTest::newRow("Underline twice: off") << "underline underline" << "9.75 000 15/0";
        QTest::newRow("14 keeps style") << "underline fourteen" << "14 001 15/0 underline fourteen";
        QTest::newRow("Contrast") << "mnucontrast" << "9.75 000 7/0";
        QTest::newRow("Contrast twice: swapped") << "mnucontrast mnucontrast" << "9.75 000 0/7";
        QTest::newRow("Set changes the face alone")
            << "italics twelve facea type:Arial Command1" << "12 010 15/0 italics twelve Arial";
        QTest::newRow("Set on an empty box: nothing") << "facea type: Command1" << "9.75 000 15/0";
        // clang-format on
    }

    void fontRows()
    {
        QFETCH(QString, steps);
        QFETCH(QString, font);
        for (const QString &step : steps.split(u' ')) {
            if (QPushButton *button = m_window->findChild<QPushButton *>(step))
                button->click();
            else if (step.startsWith(u"type:"))
                m_window->findChild<FontChooser *>()->combo()->setEditText(step.mid(5));
            else
                trigger(qPrintable(step));
        }
        const QFont f = area()->font();
        const QPalette p = area()->palette();
        QString seen = QString::asprintf("%g %d%d%d %d/%d", f.pointSizeF(), f.bold(), f.italic(),
            f.underline(), p.color(QPalette::Base).red() / 16, p.color(QPalette::Text).red() / 16);
        for (QString row :
            { "bold", "italics", "underline", "eight", "ten", "twelve", "fourteen", "sixteen" })
            seen += m_window->command(row)->isChecked() ? u' ' + row : QString();
        seen += f.family() == u"Comic Sans MS" ? QString() : u' ' + f.family();
        QCOMPARE(seen, font);
        QVERIFY(m_window->statusText().startsWith(
            u"Font size %1  |  Font name %2  |"_s.arg(f.pointSizeF()).arg(f.family())));
    }

    // The screen fonts the host lists ("drawn" for the face this machine draws "Comic Sans MS" in),
    // the face set before the chooser opens; then its list's entry and its box's text.
    void fontChooserOpensOnTheCurrentFace_data()
    {
        QTest::addColumn<QStringList>("fonts");
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("opensOn");
        const QStringList listed { "Arial", "Comic Sans MS", "Courier New" };
        const QStringList missing { "Arial", "drawn", "Zapf Dingbats" };
        // clang-format off
        QTest::newRow("opening face, listed") << listed << "" << "Comic Sans MS|Comic Sans MS";
        QTest::newRow("other case") << listed << "courier new" << "Courier New|courier new";
        QTest::newRow("opening face missing") << missing << "" << "drawn|Comic Sans MS";
        // clang-format on
    }

    void fontChooserOpensOnTheCurrentFace()
    {
        QFETCH(QStringList, fonts);
        QFETCH(QString, face);
        QFETCH(QString, opensOn);
        const QString drawn = drawnFace(QFont(u"Comic Sans MS"_s));
        m_host->fonts = fonts.replaceInStrings(u"drawn"_s, drawn);
        if (!face.isEmpty()) {
            trigger("facea");
            m_window->findChild<FontChooser *>()->combo()->setEditText(face);
            m_window->findChild<FontChooser *>()->setButton()->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // Set closed it
        }
        trigger("facea");
        const QComboBox *box = m_window->findChild<FontChooser *>()->combo();
        QCOMPARE(box->itemText(box->currentIndex()) + u'|' + box->currentText(),
            opensOn.replace(u"drawn"_s, drawn));
    }

    // Where "Comic Sans MS" is missing, fontconfig alone draws it in a calligraphic script (URW
    // Z003); the program asks for a readable face in its place. The test runs itself again, under
    // this machine's font set-up less the "Comic Sans MS" alias and `rejected`, and there looks at
    // the faces drawn for the edit area and the large "A" button.
    void defaultFacesAreReadableWhereTheyAreMissing_data()
    {
        QTest::addColumn<QString>("rejected");
        QTest::newRow("no Comic Sans alias") << "";
        QTest::newRow("no Comic Neue either")
            << "<rejectfont><glob>*/comic-neue/*</glob></rejectfont>";
    }

    void defaultFacesAreReadableWhereTheyAreMissing()
    {
        QFETCH(QString, rejected);
        if (qEnvironmentVariableIsSet("TARVEX_FONT_SETUP")) {
            for (const QFont &font :
                { area()->font(), m_window->toolbar()->growFontButton()->font() }) {
                const QString drawn = drawnFace(font);
                QVERIFY2(drawn == font.family()
                        || QFont::substitutes(font.family()).contains(drawn, Qt::CaseInsensitive),
                    qPrintable(font.family() + u'=' + drawn));
            }
            return;
        }
        QString setUp = u"<fontconfig><dir>/usr/share/fonts</dir><cachedir>%1</cachedir>"
                        "<selectfont>%2</selectfont>"_s.arg(pathOf(u"cache"_s), rejected);
        const QDir rules(u"/etc/fonts/conf.d"_s);
        for (const QString &rule : rules.entryList({ u"*.conf"_s }, QDir::Files))
            setUp += rule.contains("comic"_L1) ? QString()
                                               : "<include>" + rules.filePath(rule) + "</include>";
        QVERIFY(writeBytes(pathOf(u"fonts.conf"_s), (setUp + "</fontconfig>").toUtf8()));
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"FONTCONFIG_FILE"_s, pathOf(u"fonts.conf"_s));
        environment.insert(u"TARVEX_FONT_SETUP"_s, u"1"_s);
        run.setProcessEnvironment(environment);
        run.start(QCoreApplication::applicationFilePath(),
            { QLatin1String(QTest::currentTestFunction()) + u':' + QTest::currentDataTag() });
        QVERIFY2(run.waitForFinished(60000) && run.exitCode() == 0,
            run.readAllStandardOutput().constData());
    }

private:
    // The family a font is drawn in, without the foundry fontconfig may add ("Arial [Monotype]").
    static QString drawnFace(const QFont &font)
    {
        return QFontInfo(font).family().remove(QRegularExpression(u"\\s*\\[.*\\]$"_s));
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
