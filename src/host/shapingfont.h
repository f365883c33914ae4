#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QStringView>

#include "wordshapecache.h"

#include <array>
#include <vector>

/// Widths in Qt's 26.6 fixed point (QFixed), the unit QTextLayout adds and compares in.
namespace Fixed {

/// QFixed::fromReal, which truncates.
inline qint32 fromReal(qreal value)
{
    return qint32(value * 64);
}

/// A width that is a QFixed already, as Qt's layout reports it.
inline qint32 exact(qreal value)
{
    return qint32(qRound(value * 64));
}

} // namespace Fixed

/// A font as the line walk needs it: which characters it can follow, the advance and overhang
/// of the blank, how far any glyph may overhang, and words shaped into glyph clusters.
class ShapingFont
{
public:
    enum Kind : quint8 { Unknown, Blank, LatinLetter, Other, NotFollowed };

    static constexpr char16_t lfStandIn = 0x240A;

    explicit ShapingFont(const QFont &font);

    const QFont &font() const { return m_font; }
    qint32 blankAdvance() const { return m_blankAdvance; }
    /// Clamped to 0 or less, as Qt keeps right bearings.
    qint32 blankRightBearing() const { return m_blankRightBearing; }
    /// The font's minimum right bearing, as a distance: 0 or more.
    qint32 maxOverhang() const { return m_maxOverhang; }

    /// Whether a paragraph holds only characters the walk follows, and whether any of them is
    /// a Latin letter (which gives the paragraph its script). Examines characters met first.
    bool follows(QStringView paragraph, bool *latin);
    /// The kind of a character the paragraph check has examined.
    Kind knownKind(char16_t c) const
    {
        const int index = indexOf(c);
        return index < 0 ? NotFollowed : m_kinds[index];
    }
    /// Whether Qt shapes the character into one glyph of its own.
    bool singleGlyph(char16_t c);
    /// `word` shaped as QTextLayout shapes it inside a paragraph: after a Latin letter when it
    /// has none but the paragraph does (`latinContext`). False when that letter joins it.
    bool shape(QStringView word, bool latinContext, std::vector<GlyphCluster> &clusters) const;

private:
    // The index of a character in the tables of characters the walk may follow, or -1.
    static int indexOf(char16_t c) { return c < 256 ? c : indexBeyondLatin1(c); }
    static int indexBeyondLatin1(char16_t c);
    Kind kindOf(char16_t c);
    Kind examine(char16_t c) const;

    QFont m_font;
    QFontMetricsF m_metrics;
    qint32 m_blankAdvance = 0;
    qint32 m_blankRightBearing = 0;
    qint32 m_maxOverhang = 0;
    bool m_blanksKern = false; // words cannot be measured without their blanks: none followed
    bool m_asciiFollowed = false; // every printable ASCII character is
    std::array<Kind, 284> m_kinds {}; // Latin-1, the rest of Windows-1252, the LF stand-in
    std::array<qint8, 284> m_singleGlyph {}; // -1 unknown, else whether it is one glyph
};
