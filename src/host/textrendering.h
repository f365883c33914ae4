#pragma once

#include <QList>
#include <QString>
#include <QStringView>

/// How the true document text (CR LF line ends, bare CR and LF kept) maps onto the text the edit
/// widget shows: a CR LF pair and a bare CR are each one paragraph break, a bare LF is one
/// visible stand-in glyph. Every other character maps to itself, so positions map one to one
/// within a line.
namespace TextRendering {

inline constexpr QChar lfStandIn = QChar(0x240A); // SYMBOL FOR LINE FEED
inline constexpr QChar paragraphBreak = QChar(QChar::ParagraphSeparator);

/// The widget text of a true text: each CR LF and each bare CR a paragraph break, each bare LF
/// its stand-in glyph.
QString toWidgetText(QStringView trueText);

/// The first CR in [from, to) of the text that no LF follows, or -1.
qsizetype nextBareCr(QStringView trueText, qsizetype from, qsizetype to);
bool hasBareCr(QStringView trueText, qsizetype from, qsizetype to);

/// The bare CRs of a text (each a line break of its own, one character long) and the number of
/// line breaks, CR LF pairs and bare CRs alike, before each of them.
struct BareCrs
{
    QList<qsizetype> positions;
    QList<qsizetype> breaksBefore;
};
BareCrs findBareCrs(QStringView trueText);

/// True length covered by `units` widget characters starting at true position `from`
/// (a CR LF pair is one widget character).
qsizetype trueLengthOfUnits(QStringView trueText, qsizetype from, qsizetype units);

/// A half-open range [from, to) of a true text.
struct Range
{
    qsizetype from = 0;
    qsizetype to = 0;
};

/// Widens a range that is about to change so that its rendering can be redone on its own: a CR
/// just before it may pair with a new LF, and an LF just after it with a new CR.
Range widenForRendering(QStringView trueText, Range range);

/// Lengths of the longest common prefix and of the longest common suffix that does not overlap
/// it.
struct Affixes
{
    qsizetype prefix = 0;
    qsizetype suffix = 0;
};
Affixes commonAffixes(QStringView a, QStringView b);

/// Whether the text holds a run of more than `limit` characters without a blank, tab or line
/// break, which Qt can only wrap at great cost when it wraps at word boundaries.
bool hasRunWithoutBreakOpportunity(QStringView text, qsizetype limit);

/// Text with every bare LF (one not after a CR) turned into CR LF, as text from other programs
/// uses a bare LF for a line break.
QString withCrLfLineBreaks(QStringView text);

/// Whether the text holds a character that Qt's text widget shows as a line break although it
/// is neither CR nor LF: U+2028 LINE SEPARATOR, U+2029 PARAGRAPH SEPARATOR, and U+FDD0 and
/// U+FDD1, which Qt takes for the edges of a frame.
bool holdsWidgetBreaks(QStringView text);

/// The text with those characters replaced, so that what the widget shows is the text: the two
/// separators become CR LF, the line break they stand for; the two frame characters, which
/// stand for nothing in a plain text, become U+FFFD. The text itself when it holds none.
QString withoutWidgetBreaks(const QString &text);

} // namespace TextRendering
