#include "caserules.h"

namespace CaseRules {

namespace {

bool isSmall(QChar ch)
{
    return ch >= u'a' && ch <= u'z';
}

bool isCapital(QChar ch)
{
    return ch >= u'A' && ch <= u'Z';
}

QChar toCapital(QChar ch)
{
    return QChar(ch.unicode() - 32);
}

bool endsSentence(QChar ch)
{
    return ch == u'.' || ch == u'?' || ch == u'!';
}

} // namespace

QString lowerCase(QStringView text)
{
    return text.toString().toLower();
}

QString upperCase(QStringView text)
{
    return text.toString().toUpper();
}

QString invertedCase(QStringView text)
{
    QString result = text.toString();
    for (QChar &ch : result) {
        if (isCapital(ch))
            ch = QChar(ch.unicode() + 32);
        else if (isSmall(ch))
            ch = toCapital(ch);
    }
    return result;
}

// The command puts a blank before the text and capitalises every small letter after a blank, so
// the first letter counts as following one.
QString titleCase(QStringView text)
{
    QString result = text.toString().toLower();
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (isSmall(result[i]) && (i == 0 || result[i - 1] == u' '))
            result[i] = toCapital(result[i]);
    }
    return result;
}

// The blank the command puts before the text lets ". x" patterns match only inside the text; the
// first character is then upper-cased whole, whatever it is.
QString sentenceCase(QStringView text)
{
    QString result = text.toString();
    for (qsizetype i = 1; i < result.size(); ++i) {
        if (!isSmall(result[i]))
            continue;
        if (endsSentence(result[i - 1])
            || (result[i - 1] == u' ' && i >= 2 && endsSentence(result[i - 2])))
            result[i] = toCapital(result[i]);
    }
    const qsizetype first = characterLength(result, 0);
    if (first > 0)
        result.replace(0, first, QStringView(result).first(first).toString().toUpper());
    return result;
}

qsizetype characterLength(QStringView text, qsizetype pos)
{
    if (pos >= text.size())
        return 0;
    if (text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate())
        return 2;
    return 1;
}

} // namespace CaseRules
