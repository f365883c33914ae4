#pragma once

#include <QString>
#include <QStringView>

/// How the document's text (CR LF line ends, bare CR and LF kept) maps onto the text the edit
/// widget shows: a CR LF pair and a bare CR are each one paragraph break, a bare LF is one
/// visible stand-in glyph. Every other character maps to itself, so positions map one to one
/// within a line.
namespace TextRendering {

inline constexpr QChar lfStandIn = QChar(0x240A); // SYMBOL FOR LINE FEED
inline constexpr QChar paragraphBreak = QChar(QChar::ParagraphSeparator);

/// The widget text of a document text: each CR LF and each bare CR a paragraph break, each bare
/// LF its stand-in glyph.
QString toWidgetText(QStringView trueText);

/// Whether the text holds a run of more than `limit` characters without a blank, tab or line
/// break, which Qt can only wrap at great cost when it wraps at word boundaries.
bool hasRunWithoutBreakOpportunity(QStringView text, qsizetype limit);

/// Text with every bare LF (one not after a CR) turned into CR LF, as text from other programs
/// uses a bare LF for a line break.
QString withCrLfLineBreaks(QStringView text);

} // namespace TextRendering
