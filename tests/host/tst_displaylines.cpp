#include "host/desktop.h"
#include "host/displaylinecounter.h"
#include "host/linebreakpairs.h"
#include "host/wordshapecache.h"

#include <QFile>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QTextLayout>

using namespace Qt::StringLiterals;

// The display-line counter against the layout the edit area's widget makes. The sample text
// (tests/data/linecount-sample.txt, one paragraph a line) was written for these tests: prose,
// numbers, URLs, long and hyphenated words, quotes, non-breaking spaces, tabs, Latin-1 letters,
// a little Greek, Japanese and Arabic, the stand-in of a bare LF, and blanks at the ends.
class TestDisplayLines : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        Desktop::prepare();
        QFile file(QFINDTESTDATA("data/linecount-sample.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_paragraphs = QString::fromUtf8(file.readAll()).split(u'\n');
        m_paragraphs.removeLast(); // after the last line break
        QCOMPARE(m_paragraphs.size(), m_sampleSize);

        // Paragraphs longer than the 4096 characters Qt shapes at a time, ending their pieces at
        // different places: the Latin-1 prose joined, a blank-free run, and bare LFs; and numbers
        // without a letter for long, whose breaks depend on all of them.
        QString prose;
        for (const QString &paragraph : std::as_const(m_paragraphs)) {
            const bool latin1 = std::all_of(paragraph.begin(), paragraph.end(),
                [](QChar ch) { return ch.unicode() < 256 && ch != u'\t'; });
            if (latin1 && !paragraph.trimmed().isEmpty())
                prose += paragraph + u' ';
        }
        m_paragraphs << prose.repeated(3) << u"ab "_s + prose.repeated(3)
                     << m_paragraphs[20].repeated(30) << m_paragraphs[14].repeated(50)
                     << u"1,000 2.5 /3 $4 5% (6) -7 "_s.repeated(60);
    }

    void countsAndLineStartsMatchTheWidget_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<QTextOption::WrapMode>("wrapMode");

        QFont window(u"Comic Sans MS"_s); // the window's face
        window.setPointSizeF(9.75);
        const auto words = QTextOption::WrapAtWordBoundaryOrAnywhere,
                   anywhere = QTextOption::WrapAnywhere;
        for (const QFont &font : { window, QFont(u"DejaVu Sans"_s, 11) }) {
            QTest::addRow("%s, at words", qPrintable(font.family())) << font << words;
            QTest::addRow("%s, anywhere", qPrintable(font.family())) << font << anywhere;
        }
    }

    // Every paragraph at widths from 40 to 900 pixels: the same count, the same line starts from
    // the start and from a line in the middle.
    void countsAndLineStartsMatchTheWidget()
    {
        QFETCH(QFont, font);
        QFETCH(QTextOption::WrapMode, wrapMode);

        DisplayLineCounter counter(font, wrapMode, 0);
        QTextOption option;
        option.setWrapMode(wrapMode);
        for (int width = 40; width <= 900; width += 7) {
            counter.setLineWidth(width);
            for (qsizetype i = 0; i < m_paragraphs.size(); ++i) {
                if (i >= m_sampleSize && width % 4 != 0)
                    continue; // the long paragraphs at a quarter of the widths, to be quicker
                const QString &paragraph = m_paragraphs[i];
                QTextLayout layout(paragraph, font); // where Qt starts the lines
                layout.setTextOption(option);
                QList<qsizetype> expected;
                layout.beginLayout();
                for (QTextLine line = layout.createLine(); line.isValid();
                     line = layout.createLine()) {
                    line.setLineWidth(width);
                    if (line.lineNumber() > 0) // the first line starts at 0
                        expected.append(line.textStart());
                }
                layout.endLayout();
                const QByteArray where = u"paragraph %1 at %2 px"_s.arg(i).arg(width).toUtf8();

                QList<qsizetype> starts;
                counter.appendLineStarts(paragraph, 0, std::numeric_limits<int>::max(), starts);
                QVERIFY2(starts == expected, where);
                QVERIFY2(counter.count(paragraph) == expected.size() + 1, where);
                if (expected.size() >= 2) {
                    const qsizetype middle = expected.size() / 2;
                    QVERIFY2(
                        counter.nextLineStart(paragraph, expected[middle - 1]) == expected[middle],
                        where);
                    starts.clear();
                    counter.appendLineStarts(paragraph, expected[middle - 1], 2, starts);
                    QVERIFY2(starts == expected.mid(middle, 2), where);
                }
            }
        }
    }

    // Each pair of the table between texts that end a number, start one, or say nothing of one.
    void pairTableAgreesWithTheBoundaryFinder()
    {
        QString alphabet = u"\u240A"_s; // and the printable ASCII
        for (char16_t c = 0x21; c <= 0x7E; ++c)
            alphabet += QChar(c);
        const QStringList before { u""_s, u"a"_s, u"1"_s, u"$"_s, u"("_s, u"(1"_s, u"1 "_s,
            u"a "_s };
        const QStringList after { u""_s, u"a"_s, u"1"_s, u"%"_s, u" 1"_s, u" a"_s };
        for (const QChar first : std::as_const(alphabet)) {
            for (const QChar second : std::as_const(alphabet)) {
                int breaks = 0;
                for (const QString &left : before) {
                    for (const QString &right : after) {
                        const QString text = left + QString(first) + second + right;
                        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
                        finder.setPosition(left.size() + 1);
                        breaks += finder.isAtBoundary() ? 1 : 0;
                    }
                }
                const int contexts = int(before.size() * after.size());
                const auto expected = breaks == 0 ? LineBreakPairs::Break::Never
                    : breaks == contexts          ? LineBreakPairs::Break::Always
                                                  : LineBreakPairs::Break::DependsOnContext;
                QVERIFY2(LineBreakPairs::between(first.unicode(), second.unicode()) == expected,
                    (QString(first) + second).toUtf8());
            }
        }
    }

    // A text of distinct tokens empties the cache now and then instead of growing it.
    void wordCacheStaysBoundedOnDistinctWords()
    {
        WordShapeCache cache;
        const GlyphCluster cluster { 0, 1, 64, 0 };
        const WordSegment segment { 8, 64, 0 };
        qsizetype largest = 0;
        for (int i = 0; i < 300'000; ++i) {
            const QString word = u"w%1"_s.arg(i, 7, 10, QLatin1Char('0'));
            cache.insert(quint64(i), word, false, { &cluster, 1 }, { &segment, 1 }, true);
            largest = std::max(largest, cache.size());
            QVERIFY(cache.find(quint64(i), word, false));
        }
        QVERIFY(largest <= 65536);
        QVERIFY(cache.generation() >= 4);
    }

private:
    QStringList m_paragraphs;
    const qsizetype m_sampleSize = 27;
};

QTEST_MAIN(TestDisplayLines)

#include "tst_displaylines.moc"
