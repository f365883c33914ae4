#include "protectcommands.h"

#include "cipher.h"
#include "document/document.h"
#include "host/host.h"

#include <QWidget>

#include <utility>

namespace {

const QString kTitleHyphen = QStringLiteral("Tarvex-Protection");
const QString kTitleColon = QStringLiteral("Tarvex: Protection");

// Above this many lines the encoding is announced first.
constexpr int kQuietLineCount = 50;

// 1-based line and column of `index`; a CR LF pair, a bare CR and a bare LF each end a line.
std::pair<qsizetype, qsizetype> lineAndColumn(QStringView text, qsizetype index)
{
    qsizetype line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < index; ++i) {
        const QChar ch = text[i];
        if (ch == u'\r' && i + 1 < index && text[i + 1] == u'\n')
            continue;
        if (ch == u'\r' || ch == u'\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return { line, index - lineStart + 1 };
}

char32_t codePointAt(QStringView text, qsizetype i)
{
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(text[i], text[i + 1]);
    return text[i].unicode();
}

QString describe(char32_t ch)
{
    const QString code = QStringLiteral("U+%1").arg(uint(ch), 4, 16, QLatin1Char('0')).toUpper();
    if (!QChar::isPrint(ch))
        return QStringLiteral("the invisible character %1").arg(code);
    return QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&ch, 1), code);
}

} // namespace

ProtectCommands::ProtectCommands(Document &document, Host &host, QWidget *view,
    std::function<int()> lineCount, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_host(host)
    , m_view(view)
    , m_lineCount(std::move(lineCount))
{ }

void ProtectCommands::focusView()
{
    if (m_view)
        m_view->setFocus();
}

void ProtectCommands::tell(const QString &prompt)
{
    m_host.messageBox(prompt, {}, Host::Icon::None, Host::Buttons::Ok);
}

// The symbols and the marker come back from UnProtect as something else (a "ç" as "e", a
// typographic quote as "on "), so a text holding one is not protected at all.
bool ProtectCommands::refuseUnrestorable(const QString &text)
{
    const qsizetype at = Cipher::firstReserved(text);
    if (at < 0)
        return false;
    const auto [line, column] = lineAndColumn(text, at);
    m_host.messageBox(QStringLiteral("The text contains %1 at character %2 (line %3, column %4). "
                                     "Protection uses this character for its own symbols and "
                                     "could not give it back on UnProtect. File not protected.")
                          .arg(describe(text[at].unicode()))
                          .arg(at + 1)
                          .arg(line)
                          .arg(column),
        kTitleHyphen, Host::Icon::Exclamation, Host::Buttons::Ok);
    return true;
}

// The password is saved in the file with the text; a character the file cannot keep would come
// back as another, and the right password would never match again.
bool ProtectCommands::refuseUnstorable(const QString &password)
{
    const qsizetype at = Cipher::firstUnstorable(password);
    if (at < 0)
        return false;
    m_host.messageBox(QStringLiteral("The password contains %1, which a saved file cannot keep: "
                                     "after saving, the password would never match again. File "
                                     "not protected.")
                          .arg(describe(codePointAt(password, at))),
        kTitleHyphen, Host::Icon::Exclamation, Host::Buttons::Ok);
    return true;
}

void ProtectCommands::protect()
{
    const QString &text = m_document.text();
    if (text.isEmpty()) {
        tell(QStringLiteral("Tarvex found no text to protect"));
        return;
    }
    if (Cipher::isProtected(text)) {
        tell(QStringLiteral("File is already protected"));
        return;
    }
    if (refuseUnrestorable(text))
        return;

    const QString first = m_host.passwordBox(
        QStringLiteral("Enter 5 character Password. Password should not have spaces or special "
                       "characters"),
        kTitleHyphen, QStringLiteral("Should be exactly 5 characters"));
    const QString second = m_host.passwordBox(
        QStringLiteral("Re-enter the password. Once the file is protected, you cannot remove "
                       "protection without the password. Make sure you store your password in a "
                       "safe place."),
        kTitleColon);
    if (Cipher::characterCount(first) != Cipher::passwordLength
        || Cipher::characterCount(second) != Cipher::passwordLength || first != second) {
        tell(QStringLiteral("Invalid password. File not protected"));
        return;
    }
    if (refuseUnstorable(first))
        return;
    const QString password = Cipher::lowerCasePassword(first);

    if (m_lineCount && m_lineCount() > kQuietLineCount)
        tell(QStringLiteral("Click Ok and Please wait for a few seconds......"));

    // A new history: undoing into the other state would leave the lock wrong.
    m_document.setText(Cipher::encode(m_document.text(), password));
    m_document.clearHistory();
    m_host.messageBox(
        QStringLiteral("File protected"), kTitleHyphen, Host::Icon::Information, Host::Buttons::Ok);
    focusView();
    if (Cipher::isProtected(m_document.text()))
        m_document.setLocked(true);
}

void ProtectCommands::unprotect()
{
    const QString &text = m_document.text();
    if (text.isEmpty()) {
        tell(QStringLiteral("Tarvex found no text to unprotect"));
        return;
    }
    if (!Cipher::isProtected(text)) {
        tell(QStringLiteral("File not protected"));
        return;
    }
    // Saving and reopening puts line breaks into a protected text; they go whatever the flag
    // says, since the text itself shows them.
    const QString protectedText = Cipher::withoutLoadingLineBreaks(text);
    // Only a text that starts with the marker was made by Protect; any other is plain text that
    // merely starts with a high character, and no password fits it.
    const bool madeByProtect = protectedText.startsWith(Cipher::marker);
    if (madeByProtect && !Cipher::hasPasswordPlace(protectedText)) {
        m_host.messageBox(QStringLiteral("The protected text looks damaged: it does not end with "
                                         "its password as Protect writes it, so no password can "
                                         "be checked. The file may have been cut short or changed "
                                         "by another program. Tarvex will not proceed."),
            kTitleHyphen, Host::Icon::Exclamation, Host::Buttons::Ok);
        return;
    }

    const QString typed
        = m_host.passwordBox(QStringLiteral("Enter password to unprotect the file."), kTitleHyphen);
    const QString symbols = Cipher::passwordSymbols(Cipher::lowerCasePassword(typed));
    const std::optional<QString> document = Cipher::decode(protectedText, symbols);
    if (!document) {
        // The protected text stays as it is, so another try can work. Damage to the stored
        // password reads the same as a mistyped one: this is all that can be said.
        tell(QStringLiteral("Wrong password. Tarvex will not proceed."));
        return;
    }
    if (madeByProtect && !mayRestoreDamaged(protectedText))
        return;

    // Unlocked first: a locked document keeps its text.
    m_document.setLocked(false);
    m_document.setText(*document);
    m_document.clearHistory();
    m_host.messageBox(QStringLiteral("File protection removed"), kTitleHyphen,
        Host::Icon::Information, Host::Buttons::Ok);
    focusView();
}

// The password matched, so it is no wrong password; but a character that encoding never writes
// shows that the file changed after it was protected. What is around the damage still comes
// back right, so the user may take it.
bool ProtectCommands::mayRestoreDamaged(const QString &protectedText)
{
    const qsizetype at = Cipher::firstForeign(protectedText);
    if (at < 0)
        return true;
    return m_host.messageBox(QStringLiteral("The password is right, but the protected text looks "
                                            "damaged: it holds %1, which protection never "
                                            "writes. The file may have been changed by another "
                                            "program. Unprotect it anyway? Where it is damaged, "
                                            "the text will come back wrong.")
                                 .arg(describe(protectedText[at].unicode())),
               kTitleHyphen, Host::Icon::Exclamation, Host::Buttons::YesNo, Host::Button::No)
        == Host::Button::Yes;
}
