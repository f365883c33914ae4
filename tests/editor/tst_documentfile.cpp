#include "editor/codec1252.h"
#include "editor/documentfile.h"
#include "editor/documentformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <optional>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// Bytes 80-9F of Windows-1252; the five holes stand for the C1 control of the same number.
constexpr char16_t kHighBytes[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

char16_t expectedChar(int byte)
{
    return (byte >= 0x80 && byte < 0xA0) ? kHighBytes[byte - 0x80] : char16_t(byte);
}

QByteArray allBytes()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(char(b));
    return bytes;
}

QString units(std::initializer_list<char16_t> list)
{
    QString text;
    for (const char16_t c : list)
        text.append(QChar(c));
    return text;
}

QByteArray readRaw(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The loading rule read the slow, obvious way: split into lines, then end each with CR LF.
QString loadLineByLine(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    QByteArray line;
    bool lineOpen = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            lines.append(line);
            line.clear();
            lineOpen = false;
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            line.append(bytes[i]);
            lineOpen = true;
        }
    }
    if (lineOpen)
        lines.append(line);
    QString text;
    for (const QByteArray &l : lines) {
        for (const char b : l)
            text.append(QChar(expectedChar(static_cast<unsigned char>(b))));
        text.append(u"\r\n");
    }
    return text;
}

// Lowers the file-size limit of the process for one scope; writing past it fails with EFBIG
// instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_saved = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        if (!m_saved)
            return;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_active = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        if (!m_saved)
            return;
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isActive() const { return m_active; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_saved = false;
    bool m_active = false;
};

const QString kUndecodableName = QStringLiteral(
    "The name is not valid UTF-8, so Tarvex cannot use it. Rename the file (or its folder) and "
    "try again.");

// A temporary folder that also removes what Qt cannot list, a file whose name is not UTF-8.
class TestFolder : public QTemporaryDir
{
public:
    ~TestFolder()
    {
        const QByteArray folder = QFile::encodeName(path());
        if (DIR *entries = ::opendir(folder.constData())) {
            while (const dirent *entry = ::readdir(entries))
                ::unlink((folder + '/' + entry->d_name).constData());
            ::closedir(entries);
        }
    }
};

// The path a fault row names, made in `dir`: "folder", "pipe", a Latin-1 "caf\xe9.txt" made
// by its bytes (named as Qt names it, with U+FFFD for the byte E9), a device, or a name in `dir`.
QString place(const QTemporaryDir &dir, const QString &what)
{
    if (what == QLatin1String("folder"))
        return dir.path();
    if (what == QLatin1String("pipe")) {
        const QString path = dir.filePath(what);
        return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0 ? path : QString();
    }
    if (what == QLatin1String("caf\\xe9.txt")) {
        const QByteArray bytes = QFile::encodeName(dir.path()) + "/caf\xe9.txt";
        const int fd = ::open(bytes.constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            return {};
        ::close(fd);
        return QFile::decodeName(bytes);
    }
    return what.startsWith(u'/') ? what : dir.filePath(what);
}

// A folder that refuses new files for one scope: made immutable for root, whom its mode does
// not stop, made read-only for anyone else.
class FolderTakingNoNewFile
{
public:
    explicit FolderTakingNoNewFile(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        struct stat st;
        m_mode = ::stat(m_folder.constData(), &st) == 0 ? st.st_mode & 07777 : 0700;
        if (::geteuid() == 0)
            m_immutable = setImmutable(true);
        else
            ::chmod(m_folder.constData(), 0555);
        const QByteArray probe = m_folder + "/probe";
        const int fd = ::open(probe.constData(), O_CREAT | O_WRONLY, 0644);
        m_refuses = fd < 0;
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.constData());
        }
    }
    ~FolderTakingNoNewFile()
    {
        if (m_immutable)
            setImmutable(false);
        ::chmod(m_folder.constData(), m_mode);
    }
    FolderTakingNoNewFile(const FolderTakingNoNewFile &) = delete;
    FolderTakingNoNewFile &operator=(const FolderTakingNoNewFile &) = delete;

    bool refuses() const { return m_refuses; }

private:
    bool setImmutable(bool on)
    {
        const int fd = ::open(m_folder.constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    }

    QByteArray m_folder;
    mode_t m_mode = 0700;
    bool m_immutable = false;
    bool m_refuses = false;
};

// Takes from this thread, for one scope, the right to give files to another owner, as a user
// who is not root lacks it.
class WithoutChownRight
{
public:
    WithoutChownRight()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = { m_saved[0], m_saved[1] };
        lowered[0].effective &= ~(1u << CAP_CHOWN);
        m_active = ::syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~WithoutChownRight()
    {
        if (m_active)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutChownRight(const WithoutChownRight &) = delete;
    WithoutChownRight &operator=(const WithoutChownRight &) = delete;

    bool isActive() const { return m_active; }

private:
    __user_cap_header_struct m_header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2] {};
    bool m_active = false;
};

} // namespace

class TestDocumentFile : public QObject
{
    Q_OBJECT

private slots:
    void highBytesDecodeToTheirCharacters_data();
    void highBytesDecodeToTheirCharacters();
    void everyByteDecodesToItsCodePageCharacter();
    void everyByteEncodesBackByteForByte();
    void undefinedBytesRoundTripThroughC1Controls_data();
    void undefinedBytesRoundTripThroughC1Controls();
    void longMixedTextDecodesAndEncodesLikeSingleBytes();
    void charactersWithoutByteBecomeQuestionMarks_data();
    void charactersWithoutByteBecomeQuestionMarks();
    void findUnencodableCountsAndListsDistinctCharacters_data();
    void findUnencodableCountsAndListsDistinctCharacters();

    void loadingRuleEndsEveryLineWithCrLf_data();
    void loadingRuleEndsEveryLineWithCrLf();
    void loadingRuleMatchesLineByLineReading();
    void loadingRuleHandlesAFileOfBareCrs();
    void writingRuleAppendsCrLf_data();
    void writingRuleAppendsCrLf();

    void binaryFileOpensAndSavesBackItsBytes();
    void readingAppliesTheLoadingRule();
    void readingAnEmptyFileGivesTheEmptyText();
    void readingWhatIsNoReadableFileSaysWhy_data();
    void readingWhatIsNoReadableFileSaysWhy();
    void writingReplacesAnExistingFileWhole();
    void writingWhereNoFileCanBeSavedSaysWhy_data();
    void writingWhereNoFileCanBeSavedSaysWhy();
    void writingKeepsOwnerModeAndLinks_data();
    void writingKeepsOwnerModeAndLinks();
    void failedWriteLeavesTheOldFileByteForByte_data();
    void failedWriteLeavesTheOldFileByteForByte();
    void sizeIsTheBytesOnDisk();
    void sizeOfAMissingFileIsAnError();
    void sizeOfAFolderIsAnError();

private:
    QTemporaryDir m_dir;
};

void TestDocumentFile::highBytesDecodeToTheirCharacters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    for (int b = 0x80; b < 0xA0; ++b) {
        const int cp = kHighBytes[b - 0x80];
        const QByteArray name = QStringLiteral("%1 -> U+%2")
                                    .arg(b, 2, 16, QLatin1Char('0'))
                                    .arg(cp, 4, 16, QLatin1Char('0'))
                                    .toUpper()
                                    .toLatin1();
        QTest::newRow(name.constData()) << b << cp;
    }
}

void TestDocumentFile::highBytesDecodeToTheirCharacters()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QString text = Codec1252::decode(QByteArray(1, char(byte)));
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), codePoint);
    QCOMPARE(Codec1252::encode(text), QByteArray(1, char(byte)));
}

void TestDocumentFile::everyByteDecodesToItsCodePageCharacter()
{
    const QString text = Codec1252::decode(allBytes());
    QCOMPARE(text.size(), 256);
    for (int b = 0; b < 256; ++b)
        QCOMPARE(int(text.at(b).unicode()), int(expectedChar(b)));
}

void TestDocumentFile::everyByteEncodesBackByteForByte()
{
    QString text;
    for (int b = 0; b < 256; ++b)
        text.append(QChar(expectedChar(b)));
    QCOMPARE(Codec1252::encode(text), allBytes());
    QCOMPARE(Codec1252::findUnencodable(text).count, 0);
}

void TestDocumentFile::undefinedBytesRoundTripThroughC1Controls_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("81 <-> U+0081") << 0x81 << 0x0081;
    QTest::newRow("8D <-> U+008D") << 0x8D << 0x008D;
    QTest::newRow("8F <-> U+008F") << 0x8F << 0x008F;
    QTest::newRow("90 <-> U+0090") << 0x90 << 0x0090;
    QTest::newRow("9D <-> U+009D") << 0x9D << 0x009D;
}

void TestDocumentFile::undefinedBytesRoundTripThroughC1Controls()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    QCOMPARE(Codec1252::decode(QByteArray(1, char(byte))), QString(QChar(codePoint)));
    QCOMPARE(Codec1252::encode(QString(QChar(codePoint))), QByteArray(1, char(byte)));
}

void TestDocumentFile::longMixedTextDecodesAndEncodesLikeSingleBytes()
{
    // Long enough, and at odd lengths, to cross any block-wise fast path at every offset.
    QRandomGenerator random(1252);
    for (const int length : { 7, 8, 9, 15, 16, 17, 63, 64, 65, 1001, 10007 }) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char &b : bytes)
            b = char(random.bounded(3) == 0 ? random.bounded(256) : random.bounded(0x20, 0x7F));
        const QString text = Codec1252::decode(bytes);
        QCOMPARE(text.size(), bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i)
            QCOMPARE(
                int(text.at(i).unicode()), int(expectedChar(static_cast<unsigned char>(bytes[i]))));
        QCOMPARE(Codec1252::encode(text), bytes);
    }
}

void TestDocumentFile::charactersWithoutByteBecomeQuestionMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("U+0080 -> ?") << units({ 0x0080 }) << QByteArray("?");
    QTest::newRow("U+009F -> ?") << units({ 0x009F }) << QByteArray("?");
    QTest::newRow("U+0100 -> ?") << units({ 0x0100 }) << QByteArray("?");
    QTest::newRow("U+4E2D -> ?") << units({ 0x4E2D }) << QByteArray("?");
    QTest::newRow("U+FFFD -> ?") << units({ 0xFFFD }) << QByteArray("?");
    QTest::newRow("a U+0100 b -> a?b") << units({ 'a', 0x0100, 'b' }) << QByteArray("a?b");
    QTest::newRow("euro stays, U+0101 goes -> 80 3F")
        << units({ 0x20AC, 0x0101 }) << QByteArray("\x80?");
    QTest::newRow("lone high surrogate -> ?") << units({ 'a', 0xD83D, 'b' }) << QByteArray("a?b");
    QTest::newRow("lone low surrogate -> ?") << units({ 'a', 0xDE00, 'b' }) << QByteArray("a?b");
    QTest::newRow("surrogate pair -> one ?") << units({ 0xD83D, 0xDE00 }) << QByteArray("?");
    QTest::newRow("high, then pair -> ??") << units({ 0xD83D, 0xD83D, 0xDE00 }) << QByteArray("??");
    QTest::newRow("low, high -> ??") << units({ 0xDE00, 0xD83D }) << QByteArray("??");
}

void TestDocumentFile::charactersWithoutByteBecomeQuestionMarks()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Codec1252::encode(text), bytes);
}

void TestDocumentFile::findUnencodableCountsAndListsDistinctCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("first");

    QTest::newRow("ASCII and Latin-1 -> none")
        << QStringLiteral("Hello, é ÿ ? \t") << 5 << 0 << QString();
    QTest::newRow("all of 80-9F -> none")
        << Codec1252::decode(QByteArray("\x80\x81\x8D\x8F\x90\x99\x9D\x9F")) << 5 << 0 << QString();
    QTest::newRow("U+0100 U+0100 U+0101 -> 3, listed once each")
        << units({ 0x0100, 0x0100, 0x0101 }) << 5 << 3 << units({ 0x0100, 0x0101 });
    QTest::newRow("repeats keep first order")
        << units({ 0x0103, 'x', 0x0100, 0x0103, 0x0100, 0x0101 }) << 5 << 5
        << units({ 0x0103, 0x0100, 0x0101 });
    QTest::newRow("seven distinct, limit 5 -> first five")
        << units({ 0x0100, 0x0101, 0x0102, 0x0103, 0x0104, 0x0105, 0x0106 }) << 5 << 7
        << units({ 0x0100, 0x0101, 0x0102, 0x0103, 0x0104 });
    QTest::newRow("limit 2") << units({ 0x0100, 0x0101, 0x0102 }) << 2 << 3
                             << units({ 0x0100, 0x0101 });
    QTest::newRow("limit 0 lists none") << units({ 0x0100 }) << 0 << 1 << QString();
    QTest::newRow("C1 controls outside the five count")
        << units({ 0x0080, 0x0081, 0x009F }) << 5 << 2 << units({ 0x0080, 0x009F });
    QTest::newRow("surrogate pair counts once")
        << units({ 'a', 0xD83D, 0xDE00, 'b', 0xD83D, 0xDE00 }) << 5 << 2
        << units({ 0xD83D, 0xDE00 });
    QTest::newRow("lone high, then pair -> two distinct")
        << units({ 0xD83D, 'x', 0xD83D, 0xDE00 }) << 5 << 2 << units({ 0xD83D, 0xD83D, 0xDE00 });
}

void TestDocumentFile::findUnencodableCountsAndListsDistinctCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(int, count);
    QFETCH(QString, first);
    const Codec1252::Unencodable found = Codec1252::findUnencodable(text, limit);
    QCOMPARE(found.count, qsizetype(count));
    QCOMPARE(found.first, first);
    // The count is the number of question marks a save adds.
    QCOMPARE(Codec1252::encode(text).count('?') - text.count(u'?'), qsizetype(count));
}

void TestDocumentFile::loadingRuleEndsEveryLineWithCrLf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("(empty) -> (empty)") << QByteArray() << QString();
    QTest::newRow("a -> a\\r\\n") << QByteArray("a") << QStringLiteral("a\r\n");
    QTest::newRow("a\\r\\n -> a\\r\\n") << QByteArray("a\r\n") << QStringLiteral("a\r\n");
    QTest::newRow("a\\rb -> a\\r\\nb\\r\\n") << QByteArray("a\rb") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("a\\nb -> a\\nb\\r\\n") << QByteArray("a\nb") << QStringLiteral("a\nb\r\n");
    QTest::newRow("a\\n -> a\\n\\r\\n") << QByteArray("a\n") << QStringLiteral("a\n\r\n");
    QTest::newRow("\\r\\n\\r\\n -> \\r\\n\\r\\n")
        << QByteArray("\r\n\r\n") << QStringLiteral("\r\n\r\n");
    QTest::newRow("a\\r -> a\\r\\n") << QByteArray("a\r") << QStringLiteral("a\r\n");
    QTest::newRow("\\r -> \\r\\n") << QByteArray("\r") << QStringLiteral("\r\n");
    QTest::newRow("\\n -> \\n\\r\\n") << QByteArray("\n") << QStringLiteral("\n\r\n");
    QTest::newRow("\\r\\r -> \\r\\n\\r\\n") << QByteArray("\r\r") << QStringLiteral("\r\n\r\n");
    QTest::newRow("\\n\\r -> \\n\\r\\n") << QByteArray("\n\r") << QStringLiteral("\n\r\n");
    QTest::newRow("\\r\\n\\n -> \\r\\n\\n\\r\\n")
        << QByteArray("\r\n\n") << QStringLiteral("\r\n\n\r\n");
    QTest::newRow("a\\r\\r\\nb -> a\\r\\n\\r\\nb\\r\\n")
        << QByteArray("a\r\r\nb") << QStringLiteral("a\r\n\r\nb\r\n");
    QTest::newRow("80 \\r 9F -> euro \\r\\n Y-diaeresis \\r\\n")
        << QByteArray("\x80\r\x9F") << units({ 0x20AC, '\r', '\n', 0x0178, '\r', '\n' });
    QTest::newRow("NUL \\r NUL -> NUL \\r\\n NUL \\r\\n")
        << QByteArray("\0\r\0", 3) << units({ 0, '\r', '\n', 0, '\r', '\n' });
}

void TestDocumentFile::loadingRuleEndsEveryLineWithCrLf()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(DocumentFormat::textFromFileBytes(bytes), text);
}

void TestDocumentFile::loadingRuleMatchesLineByLineReading()
{
    // Many line breaks of every kind, placed at random.
    QRandomGenerator random(1310);
    for (int round = 0; round < 400; ++round) {
        const int length = round < 300 ? round : random.bounded(1000, 20000);
        QByteArray bytes(length, Qt::Uninitialized);
        for (char &b : bytes) {
            switch (random.bounded(8)) {
            case 0:
                b = '\r';
                break;
            case 1:
                b = '\n';
                break;
            default:
                b = char(random.bounded(256));
            }
        }
        const QString text = DocumentFormat::textFromFileBytes(bytes);
        if (text != loadLineByLine(bytes))
            QFAIL(qPrintable(QStringLiteral("differs for %1")
                                 .arg(QString::fromLatin1(bytes.toHex(' ').left(300)))));
    }
}

void TestDocumentFile::loadingRuleHandlesAFileOfBareCrs()
{
    // An old Macintosh file: every line ends in a bare CR, so the text is longer than the file.
    const QByteArray bytes
        = QByteArray("line\r").repeated(100000) + QByteArray("\r").repeated(50000);
    const QString text = DocumentFormat::textFromFileBytes(bytes);
    QCOMPARE(
        text, QStringLiteral("line\r\n").repeated(100000) + QStringLiteral("\r\n").repeated(50000));
}

void TestDocumentFile::writingRuleAppendsCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("(empty) -> 0D 0A") << QString() << QByteArray("\r\n");
    QTest::newRow("a -> 61 0D 0A") << QStringLiteral("a") << QByteArray("a\r\n");
    QTest::newRow("a\\r\\n -> 61 0D 0A 0D 0A")
        << QStringLiteral("a\r\n") << QByteArray("a\r\n\r\n");
    QTest::newRow("a\\rb\\n -> 61 0D 62 0A 0D 0A")
        << QStringLiteral("a\rb\n") << QByteArray("a\rb\n\r\n");
    QTest::newRow("euro -> 80 0D 0A") << units({ 0x20AC }) << QByteArray("\x80\r\n");
    QTest::newRow("U+0100 -> 3F 0D 0A") << units({ 0x0100 }) << QByteArray("?\r\n");
    QTest::newRow("pair -> 3F 0D 0A") << units({ 0xD83D, 0xDE00 }) << QByteArray("?\r\n");
    QTest::newRow("NUL -> 00 0D 0A") << units({ 0 }) << QByteArray("\0\r\n", 3);
}

void TestDocumentFile::writingRuleAppendsCrLf()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(DocumentFormat::fileBytesFromText(text), bytes);
}

void TestDocumentFile::binaryFileOpensAndSavesBackItsBytes()
{
    QVERIFY(m_dir.isValid());
    QByteArray bytes("\0\0\0", 3);
    for (int b = 0; b < 256; ++b) {
        if (b != 0x0D)
            bytes.append(char(b));
    }
    bytes.append('\0');
    const QString source = m_dir.filePath(QStringLiteral("binary.bin"));
    const QString copy = m_dir.filePath(QStringLiteral("binary-copy.bin"));
    QVERIFY(writeRaw(source, bytes));

    const LoadResult loaded = readDocumentFile(source);
    QVERIFY(loaded.ok);
    QVERIFY(loaded.error.isEmpty());
    // No CR in the file: it is one line, and the text is that line followed by CR LF.
    QCOMPARE(loaded.text.size(), bytes.size() + 2);
    QCOMPARE(loaded.text.chopped(2), Codec1252::decode(bytes));
    QVERIFY(loaded.text.endsWith(u"\r\n"));

    const SaveResult saved = writeDocumentFile(copy, loaded.text);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    // The line's CR LF, then the CR LF every save adds.
    QCOMPARE(readRaw(copy), bytes + "\r\n" + "\r\n");
}

void TestDocumentFile::readingAppliesTheLoadingRule()
{
    const QString path = m_dir.filePath(QStringLiteral("mixed.txt"));
    QVERIFY(writeRaw(path, QByteArray("a\rb\nc\r\n\x80")));
    const LoadResult loaded = readDocumentFile(path);
    QVERIFY(loaded.ok);
    QCOMPARE(loaded.text, QStringLiteral("a\r\nb\nc\r\n\u20AC\r\n"));
}

void TestDocumentFile::readingAnEmptyFileGivesTheEmptyText()
{
    const QString path = m_dir.filePath(QStringLiteral("empty.txt"));
    QVERIFY(writeRaw(path, QByteArray()));
    const LoadResult loaded = readDocumentFile(path);
    QVERIFY(loaded.ok);
    QVERIFY(loaded.text.isEmpty());
    QVERIFY(loaded.error.isEmpty());
}

void TestDocumentFile::readingWhatIsNoReadableFileSaysWhy_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "missing.txt" << "The file does not exist.";
    QTest::newRow("a folder") << "folder" << "It is a folder, not a file.";
    QTest::newRow("a device") << "/dev/zero" << "It is a device or pipe, not a file.";
    QTest::newRow("a name that is not UTF-8") << "caf\\xe9.txt" << kUndecodableName;
}

void TestDocumentFile::readingWhatIsNoReadableFileSaysWhy()
{
    QFETCH(QString, what);
    QFETCH(QString, reason);
    const TestFolder dir;
    const LoadResult loaded = readDocumentFile(place(dir, what));
    QVERIFY(!loaded.ok);
    QVERIFY(loaded.text.isEmpty());
    QCOMPARE(loaded.error, reason);
}

void TestDocumentFile::writingReplacesAnExistingFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    QVERIFY(writeRaw(path, QByteArray("a much longer old content\r\n").repeated(100)));
    const SaveResult saved = writeDocumentFile(path, u"new\r\n");
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QVERIFY(saved.error.isEmpty());
    QCOMPARE(readRaw(path), QByteArray("new\r\n\r\n"));
    // Nothing left over beside the file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList { QStringLiteral("doc.txt") });
}

void TestDocumentFile::writingWhereNoFileCanBeSavedSaysWhy_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "nowhere/new.txt" << "The folder does not exist.";
    QTest::newRow("a folder") << "folder" << "It is a folder, not a file.";
    QTest::newRow("a device") << "/dev/full" << "It is a device or pipe, not a file.";
    // Writing would wait for a reader, holding the window.
    QTest::newRow("a pipe") << "pipe" << "It is a device or pipe, not a file.";
    // Rather than a new file whose name only looks the same.
    QTest::newRow("a name that is not UTF-8") << "caf\\xe9.txt" << kUndecodableName;
}

void TestDocumentFile::writingWhereNoFileCanBeSavedSaysWhy()
{
    QFETCH(QString, what);
    QFETCH(QString, reason);
    const TestFolder dir;
    const QString path = place(dir, what);
    const QFileInfo before(path);
    const SaveResult saved = writeDocumentFile(path, u"text");
    QVERIFY(!saved.ok);
    QCOMPARE(saved.error, reason);
    const QFileInfo after(path);
    QCOMPARE(after.exists(), before.exists());
    QCOMPARE(after.isFile(), before.isFile());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
}

void TestDocumentFile::writingKeepsOwnerModeAndLinks_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("two hard links: written in place") << "two links";
    QTest::newRow("another owner: the copy is given back to them") << "owner";
    QTest::newRow("another owner, no right to give files away: in place") << "owner, no chown";
    QTest::newRow("a folder that takes no new file: in place") << "locked folder";
}

void TestDocumentFile::writingKeepsOwnerModeAndLinks()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    const QByteArray name = QFile::encodeName(path);
    QVERIFY(writeRaw(path, "old text\r\n"));
    QCOMPARE(::chmod(name.constData(), 0640), 0);
    if (kind == QLatin1String("two links"))
        QCOMPARE(::link(name.constData(), QFile::encodeName(link).constData()), 0);
    if (kind.startsWith(QLatin1String("owner"))) {
        if (::geteuid() != 0)
            QSKIP("Only root can give a file to another owner; run as root to test this.");
        QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
    }
    struct stat before;
    QCOMPARE(::stat(name.constData(), &before), 0);

    SaveResult saved;
    {
        std::optional<FolderTakingNoNewFile> locked;
        std::optional<WithoutChownRight> noChown;
        if (kind == QLatin1String("locked folder")) {
            locked.emplace(dir.path());
            if (!locked->refuses())
                QSKIP("This system lets the test folder take new files whatever is tried.");
        }
        if (kind == QLatin1String("owner, no chown")) {
            noChown.emplace();
            QVERIFY(noChown->isActive());
        }
        saved = writeDocumentFile(path, u"new");
    }
    QVERIFY2(saved.ok, qPrintable(saved.error));
    QCOMPARE(readRaw(path), QByteArray("new\r\n"));
    struct stat after;
    QCOMPARE(::stat(name.constData(), &after), 0);
    QCOMPARE(after.st_uid, before.st_uid);
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_nlink, before.st_nlink);
    if (before.st_nlink > 1) {
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(readRaw(link), QByteArray("new\r\n"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), int(after.st_nlink));
}

void TestDocumentFile::failedWriteLeavesTheOldFileByteForByte_data()
{
    QTest::addColumn<bool>("twoLinks");
    QTest::newRow("replaced by a copy") << false;
    QTest::newRow("written in place") << true;
}

void TestDocumentFile::failedWriteLeavesTheOldFileByteForByte()
{
    QFETCH(bool, twoLinks);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("doc.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    const QByteArray old("old text\r\nsecond line\r\n\r\n");
    QVERIFY(writeRaw(path, old));
    if (twoLinks) {
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()),
            0);
    }
    const QString big
        = QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnop\r\n")
              .repeated(16384); // 1 MB
    QCOMPARE(big.size(), 1024 * 1024);

    SaveResult saved;
    bool limited = false;
    {
        const FileSizeLimit limit(64 * 1024);
        limited = limit.isActive();
        if (limited)
            saved = writeDocumentFile(path, big);
    }
    QVERIFY(limited);
    QVERIFY(!saved.ok);
    QVERIFY(!saved.error.isEmpty());
    QCOMPARE(readRaw(path), old);
    const QStringList names = twoLinks
        ? QStringList { QStringLiteral("doc.txt"), QStringLiteral("link.txt") }
        : QStringList { QStringLiteral("doc.txt") };
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        names);
    if (twoLinks)
        QCOMPARE(readRaw(link), old);

    // Without the limit the same save goes through, so the limit was the cause.
    const SaveResult again = writeDocumentFile(path, big);
    QVERIFY2(again.ok, qPrintable(again.error));
    QCOMPARE(QFileInfo(path).size(), qint64(big.size() + 2));
    if (twoLinks)
        QCOMPARE(QFileInfo(link).size(), qint64(big.size() + 2));
}

void TestDocumentFile::sizeIsTheBytesOnDisk()
{
    const QString path = m_dir.filePath(QStringLiteral("sized.txt"));
    QVERIFY(writeRaw(path, QByteArray(1234, 'x')));
    const SizeResult size = documentFileSize(path);
    QVERIFY(size.ok);
    QCOMPARE(size.size, qint64(1234));
    QVERIFY(size.error.isEmpty());

    QVERIFY(writeRaw(path, QByteArray()));
    QCOMPARE(documentFileSize(path).size, qint64(0));
    QVERIFY(documentFileSize(path).ok);
}

void TestDocumentFile::sizeOfAMissingFileIsAnError()
{
    const SizeResult size = documentFileSize(m_dir.filePath(QStringLiteral("missing.txt")));
    QVERIFY(!size.ok);
    QCOMPARE(size.error, QStringLiteral("The file does not exist."));
}

void TestDocumentFile::sizeOfAFolderIsAnError()
{
    const SizeResult size = documentFileSize(m_dir.path());
    QVERIFY(!size.ok);
    QCOMPARE(size.error, QStringLiteral("It is a folder, not a file."));
}

QTEST_GUILESS_MAIN(TestDocumentFile)
#include "tst_documentfile.moc"
