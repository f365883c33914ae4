// Counting the display lines of 50 MB of prose at the default window's width and font, against
// laying out each paragraph with QTextLayout (Qt's own way, and what the edit area pays today).
#include "editor/mainwindow.h"
#include "host/displaylinecounter.h"
#include "view/textview.h"
#include "host/qthost.h"

#include <QApplication>
#include <QFile>
#include <QTextLayout>

#include "benchapp.h"

#include <map>
#include <random>
#include <vector>

namespace {

constexpr qsizetype kProseBytes = 50 * 1024 * 1024;
constexpr qsizetype kBaselineBytes = 2 * 1024 * 1024;

// The prose of ../shared/peerbench/gen_data.py: lines of exactly 70 printable ASCII characters
// (words of the same list, a sentence ended now and then, a comma now and then, a word of the
// right length to finish the line), CR LF after each. std::mt19937 stands in for Python's
// generator: the same kind of text, not the same bytes.
class Prose
{
public:
    QString line()
    {
        QString text;
        qsizetype length = 0;
        int words = 0;
        for (;;) {
            const qsizetype room = 70 - length - (words > 0 ? 1 : 0);
            if (room <= 0)
                break;
            if (room <= 13) {
                QString word = room == 13 ? pick(byLength(6)) + QLatin1Char(' ') + pick(byLength(6))
                                          : pick(byLength(room));
                if (room != 13)
                    capitalise(word);
                append(text, word, words, length);
                break;
            }
            QString word = pick(common());
            capitalise(word);
            if (random() < 0.08 && word.size() >= 2) {
                m_capitaliseNext = true;
                word += QLatin1Char('.');
            } else if (random() < 0.05) {
                word += QLatin1Char(',');
            }
            if (word.size() > room - 2)
                continue;
            append(text, word, words, length);
        }
        return text;
    }

private:
    static const QStringList &common()
    {
        static const QStringList words = QStringLiteral(
            "the of and to in is was that for it with as his on be at by had are but from or have "
            "an they which one you were her all she there would their we him been has when who "
            "will more no if out so said what up its about into than them can only other new "
            "some could time these two may then do first any my now such like our over man me "
            "even most made after also did many before must through back years where much your "
            "way well down should because each just those people how too little state good very "
            "make world still own see men work long get here between both life being under never "
            "day same another know while last might us great old year off come since against go "
            "came right used take three himself few house use during without again place around "
            "however home small found thought went say part once general high upon school every "
            "interest does together number something everything information neighborhood window "
            "letter paper river garden morning evening question answer country city water light "
            "table street mother father friend story music")
                                             .split(QLatin1Char(' '));
        return words;
    }
    static const QStringList &byLength(qsizetype length)
    {
        static const std::map<qsizetype, QStringList> lists = [] {
            std::map<qsizetype, QStringList> byLength;
            for (const QString &word : common())
                byLength[word.size()].append(word);
            // Every length that can finish a line has a word.
            for (const char *filler : { "a", "an", "the", "information", "neighborhood" })
                byLength.try_emplace(qsizetype(qstrlen(filler)), QStringList { filler });
            return byLength;
        }();
        return lists.at(length);
    }
    QString pick(const QStringList &words) { return words.at(m_random() % words.size()); }
    double random() { return m_random() / 4294967296.0; }
    void capitalise(QString &word)
    {
        if (m_capitaliseNext)
            word[0] = word[0].toUpper();
        m_capitaliseNext = false;
    }
    static void append(QString &text, const QString &word, int &words, qsizetype &length)
    {
        if (words++ > 0)
            text += QLatin1Char(' ');
        text += word;
        length = text.size();
    }

    std::mt19937 m_random { 1234 };
    bool m_capitaliseNext = true;
};

struct Corpus
{
    QString text;
    std::vector<QStringView> paragraphs;
};

const Corpus &prose()
{
    static const Corpus corpus = [] {
        Corpus c;
        c.text.reserve(kProseBytes);
        Prose prose;
        while (c.text.size() + 72 <= kProseBytes)
            c.text += prose.line() + QLatin1String("\r\n");
        for (qsizetype start = 0; start < c.text.size();) {
            const qsizetype end = c.text.indexOf(QLatin1String("\r\n"), start);
            c.paragraphs.push_back(QStringView(c.text).sliced(start, end - start));
            start = end + 2;
        }
        return c;
    }();
    return corpus;
}

// gen_data.py's one-line file: the same prose, lines joined by blanks, 1 MB in one paragraph.
const QString &oneLine()
{
    static const QString text = [] {
        constexpr qsizetype kBytes = 1024 * 1024;
        QString line;
        line.reserve(kBytes + 72);
        Prose prose;
        while (line.size() < kBytes)
            line += prose.line() + QLatin1Char(' ');
        line.truncate(kBytes - 1);
        return line + QLatin1Char('.');
    }();
    return text;
}

// 1 MB without a blank (as base64 is), which the edit area wraps anywhere.
const QString &blankFree()
{
    static const QString text = [] {
        constexpr qsizetype kBytes = 1024 * 1024;
        const QString letters
            = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/");
        std::mt19937 random(42);
        QString run(kBytes, Qt::Uninitialized);
        for (QChar &ch : run)
            ch = letters.at(random() % letters.size());
        return run;
    }();
    return text;
}

// The default window's font, wrap mode and line width, as its edit area lays out its blocks.
struct Window
{
    QFont font;
    QTextOption::WrapMode wrapMode;
    qreal lineWidth;
};

const Window &window()
{
    static const Window measured = [] {
        QtHost host;
        MainWindow window(host);
        window.show();
        QCoreApplication::processEvents();
        TextView *area = window.area();
        // The view wraps at word boundaries, or anywhere in a longer word, inside a margin of 4.
        return Window { area->font(), QTextOption::WrapAtWordBoundaryOrAnywhere,
            qreal(area->viewport()->width() - 2 * 4) };
    }();
    return measured;
}

void reportMegabytesPerSecond(benchmark::State &state, qsizetype bytes)
{
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["MB/s"]
        = benchmark::Counter(double(bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_CountLines50MBProse(benchmark::State &state)
{
    const Corpus &corpus = prose();
    const Window &shape = window();
    qint64 lines = 0;
    for (auto _ : state) {
        DisplayLineCounter counter(shape.font, shape.wrapMode, shape.lineWidth);
        lines = 0;
        for (const QStringView paragraph : corpus.paragraphs)
            lines += counter.count(paragraph);
        benchmark::DoNotOptimize(lines);
    }
    reportMegabytesPerSecond(state, corpus.text.size());
    state.counters["lines"] = double(lines);
    state.SetLabel(QStringLiteral("line width %1 px").arg(shape.lineWidth).toStdString());
}
BENCHMARK(BM_CountLines50MBProse)->Unit(benchmark::kMillisecond);

// A QTextLayout for each paragraph, as QPlainTextDocumentLayout lays out a block; on the first
// 2 MB of the same prose.
void BM_CountLinesQTextLayout2MBProse(benchmark::State &state)
{
    const Corpus &corpus = prose();
    const Window &shape = window();
    QTextOption option;
    option.setWrapMode(shape.wrapMode);
    const qsizetype paragraphs = kBaselineBytes / 72;
    qint64 lines = 0;
    for (auto _ : state) {
        lines = 0;
        for (qsizetype i = 0; i < paragraphs; ++i) {
            QTextLayout layout(corpus.paragraphs[i].toString(), shape.font);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLeadingIncluded(true);
                line.setLineWidth(shape.lineWidth);
                ++lines;
            }
            layout.endLayout();
        }
        benchmark::DoNotOptimize(lines);
    }
    reportMegabytesPerSecond(state, paragraphs * 72); // 70 characters and CR LF each
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_CountLinesQTextLayout2MBProse)->Unit(benchmark::kMillisecond);

// One paragraph with a new counter each time, so its first look at the font and the words is
// counted; against one QTextLayout.
void countOneParagraph(
    benchmark::State &state, const QString &paragraph, QTextOption::WrapMode wrapMode, bool withQt)
{
    const Window &shape = window();
    QTextOption option;
    option.setWrapMode(wrapMode);
    int lines = 0;
    for (auto _ : state) {
        if (withQt) {
            QTextLayout layout(paragraph, shape.font);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLeadingIncluded(true);
                line.setLineWidth(shape.lineWidth);
            }
            layout.endLayout();
            lines = layout.lineCount();
        } else {
            DisplayLineCounter counter(shape.font, wrapMode, shape.lineWidth);
            lines = counter.count(paragraph);
        }
        benchmark::DoNotOptimize(lines);
    }
    reportMegabytesPerSecond(state, paragraph.size());
    state.counters["lines"] = lines;
}

void BM_CountLines1MBOneLine(benchmark::State &state)
{
    countOneParagraph(state, oneLine(), window().wrapMode, false);
}
BENCHMARK(BM_CountLines1MBOneLine)->Unit(benchmark::kMillisecond);

void BM_CountLinesQTextLayout1MBOneLine(benchmark::State &state)
{
    countOneParagraph(state, oneLine(), window().wrapMode, true);
}
BENCHMARK(BM_CountLinesQTextLayout1MBOneLine)->Unit(benchmark::kMillisecond);

void BM_CountLines1MBBlankFreeAnywhere(benchmark::State &state)
{
    countOneParagraph(state, blankFree(), QTextOption::WrapAnywhere, false);
}
BENCHMARK(BM_CountLines1MBBlankFreeAnywhere)->Unit(benchmark::kMillisecond);

void BM_CountLinesQTextLayout1MBBlankFreeAnywhere(benchmark::State &state)
{
    countOneParagraph(state, blankFree(), QTextOption::WrapAnywhere, true);
}
BENCHMARK(BM_CountLinesQTextLayout1MBBlankFreeAnywhere)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv);
}
