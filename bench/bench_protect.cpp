// The protection cipher on 10 MB of English prose against a reference that applies the passes
// one by one with QString::replace, in the same run; and Protect and UnProtect of the same
// document through the main window. Before timing, the cipher is checked against the reference
// on the prose and on many random texts, symbols included.
#include "app/assembly.h"
#include "editor/documentformat.h"
#include "editor/mainwindow.h"
#include "fakehost.h"
#include "view/textview.h"
#include "protect/cipher.h"

#include <QAction>
#include <QApplication>
#include <QRandomGenerator>

#include "benchapp.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr qsizetype kTenMegabytes = 10 * 1024 * 1024;
const QString kPassword = QStringLiteral("s3cr.");

struct Replacement
{
    QString from;
    QString to;
};

// The 81 passes as the table gives them.
const QList<Replacement> &passes()
{
    static const QList<Replacement> table = [] {
        QList<Replacement> list {
            { QStringLiteral(". "), QStringLiteral("\u2018") },
            { QStringLiteral("\n"), QStringLiteral("\u0160") },
            { QStringLiteral("\u0160\u0160"), QStringLiteral("\u2039") },
            { QStringLiteral("and "), QStringLiteral("\u0152") },
            { QStringLiteral("the "), QStringLiteral("\u2026") },
            { QStringLiteral("in "), QStringLiteral("\u02C6") },
            { QStringLiteral("on "), QStringLiteral("\u201C") },
            { QStringLiteral("of "), QStringLiteral("\u2014") },
            { QStringLiteral("est "), QStringLiteral("\u2013") },
            { QStringLiteral("\u02C6\u2026"), QStringLiteral("\u2030") },
        };
        const QString sources = QStringLiteral(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ?!.,()<\"");
        const QString symbols = QStringLiteral(
            "\u00FB\u00B0\u008D\u20AC\u00E7\u00E1\u00BB\u00B7\u00A7\u0192\u00A5\u00A3\u00B5\u00A6"
            "\u00FA\u00DC\u00FF\u00E0\u00F2\u00F6\u00F4\u00DF\u00C9\u00C5\u00C4\u00E6"
            "\u00A9\u00AB\u00B3\u00AF\u00B1\u00B2\u00B6\u00AE\u00B9\u00BC\u00BE\u00D0\u00D7\u00D8"
            "\u00DD\u00DE\u00F0\u00F1\u00F7\u00F8\u2022\u00FE\u00FD\u00CD\u00CC\u00CB"
            "\u00BD\u00AC\u00BF\u00AA\u00BA\u00EA\u00EB\u00E8\u00EF\u00EE"
            "\u007F\u201E\u201D\u2020\u2021\u017D\u008F\u0090\u2019");
        for (qsizetype i = 0; i < sources.size(); ++i)
            list.append({ QString(sources[i]), QString(symbols[i]) });
        return list;
    }();
    return table;
}

// The 82 inverse steps, in their order.
const QList<Replacement> &inverseSteps()
{
    static const QList<Replacement> table = [] {
        QList<Replacement> list {
            { QStringLiteral("\u2018"), QStringLiteral(". ") },
            { QStringLiteral("\u201C"), QStringLiteral("on ") },
            { QStringLiteral("\u2014"), QStringLiteral("of ") },
            { QStringLiteral("\u0152"), QStringLiteral("and ") },
            { QStringLiteral("\u2039"), QStringLiteral("\u0160\u0160") },
            { QStringLiteral("\u0160"), QStringLiteral("\n") },
            { QStringLiteral("\u2030"), QStringLiteral("\u02C6\u2026") },
            { QStringLiteral("\u02C6"), QStringLiteral("in ") },
            { QStringLiteral("\u2026"), QStringLiteral("the ") },
            { QStringLiteral("\u2013"), QStringLiteral("est ") },
            { QStringLiteral("\u007F"), QStringLiteral(" ") },
        };
        const QList<Replacement> &forward = passes();
        for (int pass = 10; pass < 72; ++pass)
            list.append({ forward[pass].to, forward[pass].from });
        list.append({ QStringLiteral("\u0081"), QString() });
        for (int pass = 73; pass < 81; ++pass)
            list.append({ forward[pass].to, forward[pass].from });
        return list;
    }();
    return table;
}

QString reversed(QString text)
{
    std::reverse(text.begin(), text.end());
    return text;
}

QString referenceEncode(const QString &document, const QString &password)
{
    QString text = document;
    for (const Replacement &pass : passes())
        text.replace(pass.from, pass.to);
    QString symbols = password;
    for (qsizetype pass = 10; pass < passes().size(); ++pass)
        symbols.replace(passes()[pass].from, passes()[pass].to);
    return reversed(symbols + QChar(0x7F) + text + QChar(0x81));
}

std::optional<QString> referenceDecode(const QString &protectedText, const QString &symbols)
{
    QString text = reversed(protectedText);
    if (text.size() < 6 || symbols.size() != 5 || text.left(5) != symbols)
        return std::nullopt;
    text.remove(0, 6);
    for (const Replacement &step : inverseSteps())
        text.replace(step.from, step.to);
    return text;
}

QString englishProse(qsizetype characters)
{
    static const char *const sentences[] = {
        "The river ran high in the spring, and the old mill turned day and night.",
        "Most of the people in the village had never seen the sea.",
        "She said that the best of the apples were kept in the cellar until winter.",
        "On the first morning of the fair, the square was full of carts and horses.",
        "He walked on in silence, thinking of the letter in his pocket.",
        "It was the finest house in the street, and the saddest.",
        "Nobody knew how the rumour began, but by noon everyone had heard it.",
        "The children ran to the gate as soon as they heard the wheels on the road.",
        "In the evening the wind dropped and the rain stopped at last.",
        "Is it true that you mean to leave us?",
        "\"I shall be back before the end of the month,\" he promised.",
        "Three years later the bridge was rebuilt in stone (at a cost of 2,400 pounds).",
        "What remains of the castle stands on a hill to the west of the town.",
        "They talked of the harvest, of the price of wheat and of the new school.",
        "The latest news from the city was not good!",
    };
    QRandomGenerator random(1);
    QString text;
    text.reserve(characters + 200);
    while (text.size() < characters) {
        for (int count = random.bounded(3, 9); count > 0; --count) {
            text += QLatin1String(sentences[random.bounded(int(std::size(sentences)))]);
            text += u' ';
        }
        text += QLatin1String("\r\n\r\n");
    }
    text.truncate(characters);
    return text;
}

QString randomText(QRandomGenerator &random)
{
    static const QStringList pieces { QStringLiteral("and "), QStringLiteral("the "),
        QStringLiteral("in "), QStringLiteral("on "), QStringLiteral("of "), QStringLiteral("est "),
        QStringLiteral(". "), QStringLiteral("in the "), QStringLiteral("\n"),
        QStringLiteral("\r\n"), QStringLiteral(" "), QStringLiteral(".") };
    QString text;
    for (int i = random.bounded(60); i > 0; --i) {
        const int kind = random.bounded(4);
        if (kind == 0)
            text += pieces[random.bounded(pieces.size())];
        else if (kind == 1)
            text += passes()[random.bounded(passes().size())].from;
        else if (kind == 2)
            text += passes()[random.bounded(passes().size())].to;
        else
            text += QChar(char16_t(random.bounded(0x10000)));
    }
    return text;
}

// The one-scan cipher must give what the passes give, or the timings mean nothing.
bool cipherMatchesReference(const QString &prose)
{
    const QString symbols = Cipher::passwordSymbols(kPassword);
    const QString encoded = Cipher::encode(prose, kPassword);
    if (encoded != referenceEncode(prose, kPassword)
        || Cipher::decode(encoded, symbols) != referenceDecode(encoded, symbols)
        || Cipher::decode(encoded, symbols) != prose) {
        std::fprintf(stderr, "The cipher differs from the reference on the prose\n");
        return false;
    }
    QRandomGenerator random(2);
    for (int i = 0; i < 20000; ++i) {
        const QString text = randomText(random);
        const QString encodedText = Cipher::encode(text, kPassword);
        const QString noise = QChar(0x81) + randomText(random);
        const QString stored = reversed(noise.right(5));
        if (encodedText != referenceEncode(text, kPassword)
            || Cipher::decode(encodedText, symbols) != referenceDecode(encodedText, symbols)
            || Cipher::decode(noise, stored) != referenceDecode(noise, stored)) {
            std::fprintf(stderr, "The cipher differs from the reference on random text %d\n", i);
            return false;
        }
    }
    return true;
}

const QString &prose()
{
    static const QString text = englishProse(kTenMegabytes);
    return text;
}

const QString &protectedProse()
{
    static const QString text = Cipher::encode(prose(), kPassword);
    return text;
}

void BM_EncodeReference10MB(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(referenceEncode(prose(), kPassword));
    state.SetBytesProcessed(state.iterations() * kTenMegabytes);
}
BENCHMARK(BM_EncodeReference10MB)->Unit(benchmark::kMillisecond);

void BM_Encode10MB(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(Cipher::encode(prose(), kPassword));
    state.SetBytesProcessed(state.iterations() * kTenMegabytes);
}
BENCHMARK(BM_Encode10MB)->Unit(benchmark::kMillisecond);

void BM_DecodeReference10MB(benchmark::State &state)
{
    const QString symbols = Cipher::passwordSymbols(kPassword);
    for (auto _ : state)
        benchmark::DoNotOptimize(referenceDecode(protectedProse(), symbols));
    state.SetBytesProcessed(state.iterations() * kTenMegabytes);
}
BENCHMARK(BM_DecodeReference10MB)->Unit(benchmark::kMillisecond);

void BM_Decode10MB(benchmark::State &state)
{
    const QString symbols = Cipher::passwordSymbols(kPassword);
    for (auto _ : state)
        benchmark::DoNotOptimize(Cipher::decode(protectedProse(), symbols));
    state.SetBytesProcessed(state.iterations() * kTenMegabytes);
}
BENCHMARK(BM_Decode10MB)->Unit(benchmark::kMillisecond);

struct WindowFixture
{
    FakeHost host;
    MainWindow window { host };
    Subsystems subsystems = assembleSubsystems(window);

    WindowFixture()
    {
        window.resize(800, 600);
        window.show();
        QCoreApplication::processEvents();
    }

    // The document or its protected text in the edit area, its first screen laid out.
    void show(const QString &text, bool locked)
    {
        window.document().load(TextBuffer(text), std::nullopt);
        window.document().setLocked(locked);
        QCoreApplication::processEvents();
    }

    void protect()
    {
        host.answerInput(kPassword);
        host.answerInput(kPassword);
        host.answerMessage(Host::Button::Ok); // please wait
        host.answerMessage(Host::Button::Ok); // protected
        window.command(QStringLiteral("btncode"))->trigger();
    }

    void unprotect()
    {
        host.answerInput(kPassword);
        host.answerMessage(Host::Button::Ok);
        window.command(QStringLiteral("btndecode"))->trigger();
    }
};

// A fresh window for each round, so that every round starts from the same state.
std::unique_ptr<WindowFixture> freshWindow(
    std::unique_ptr<WindowFixture> &old, const QString &text, bool locked)
{
    old.reset();
    auto fixture = std::make_unique<WindowFixture>();
    fixture->show(text, locked);
    return fixture;
}

// From the menu row to the protected text in the area, locked, its first screen painted.
void BM_ProtectInWindow10MB(benchmark::State &state)
{
    std::unique_ptr<WindowFixture> f;
    for (auto _ : state) {
        state.PauseTiming();
        f = freshWindow(f, prose(), false);
        state.ResumeTiming();
        f->protect();
        f->window.area()->viewport()->repaint();
    }
    if (f->window.document().text() != protectedProse() || !f->window.document().isLocked())
        state.SkipWithError("Protect did not give the protected text");
    state.SetBytesProcessed(state.iterations() * kTenMegabytes);
}

BENCHMARK(BM_ProtectInWindow10MB)->Unit(benchmark::kMillisecond);

// A protected file as Open leaves it: each carriage return of the protected text followed by a
// line feed, and a line break at the end.
void BM_UnprotectOpenedFileInWindow10MB(benchmark::State &state)
{
    const QString opened
        = DocumentFormat::textFromFileBytes(DocumentFormat::fileBytesFromText(protectedProse()));
    std::unique_ptr<WindowFixture> f;
    for (auto _ : state) {
        state.PauseTiming();
        f = freshWindow(f, opened, true);
        state.ResumeTiming();
        f->unprotect();
        f->window.area()->viewport()->repaint();
    }
    if (f->window.document().text() != prose() || f->window.document().isLocked())
        state.SkipWithError("UnProtect did not give the document back");
    state.SetBytesProcessed(state.iterations() * kTenMegabytes);
}
BENCHMARK(BM_UnprotectOpenedFileInWindow10MB)->Unit(benchmark::kMillisecond);

// UnProtect in the session that protected: the area shows the protected text as Protect left
// it.
void BM_UnprotectRightAfterProtectInWindow10MB(benchmark::State &state)
{
    std::unique_ptr<WindowFixture> f;
    for (auto _ : state) {
        state.PauseTiming();
        f = freshWindow(f, prose(), false);
        f->protect();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        f->unprotect();
        f->window.area()->viewport()->repaint();
    }
    if (f->window.document().text() != prose() || f->window.document().isLocked())
        state.SkipWithError("UnProtect did not give the document back");
    state.SetBytesProcessed(state.iterations() * kTenMegabytes);
}
BENCHMARK(BM_UnprotectRightAfterProtectInWindow10MB)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarksWithApplication(argc, argv, [] {
        if (!cipherMatchesReference(prose()))
            return false;
        benchmark::RunSpecifiedBenchmarks();
        return true;
    });
}
