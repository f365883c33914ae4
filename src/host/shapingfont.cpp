#include "shapingfont.h"

#include <QGlyphRun>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr char16_t kBlank = u' ';

// Beyond Latin-1, the characters Windows-1252 has in 0x80..0x9F (curly quotes, dashes, the
// euro sign...), which its documents are full of, and the LF stand-in.
constexpr std::array<char16_t, 28> kBeyondLatin1 { 0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x017D,
    0x017E, 0x0192, 0x02C6, 0x02DC, 0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E,
    0x2020, 0x2021, 0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2122,
    ShapingFont::lfStandIn };

} // namespace

ShapingFont::ShapingFont(const QFont &font)
    : m_font(font)
    , m_metrics(font)
{
    m_kinds.fill(Unknown);
    m_singleGlyph.fill(-1);
    m_kinds[kBlank] = Blank;
    m_singleGlyph[kBlank] = 1;

    const qreal blank = m_metrics.horizontalAdvance(QString(QChar(kBlank)));
    m_blankAdvance = Fixed::exact(blank);
    m_blanksKern = m_metrics.horizontalAdvance(QStringLiteral("  ")) != 2 * blank;
    m_maxOverhang = -std::min(0, Fixed::fromReal(m_metrics.minRightBearing()));
    // Qt takes the blank for the glyph before a word after it that does not fit.
    m_blankRightBearing = std::min(0, Fixed::fromReal(m_metrics.rightBearing(QChar(kBlank))));

    m_asciiFollowed = true;
    for (char16_t c = 0x21; c <= 0x7E; ++c)
        m_asciiFollowed = kindOf(c) != NotFollowed && m_asciiFollowed;
}

int ShapingFont::indexBeyondLatin1(char16_t c)
{
    const auto at = std::lower_bound(kBeyondLatin1.begin(), kBeyondLatin1.end(), c);
    return at != kBeyondLatin1.end() && *at == c ? 256 + int(at - kBeyondLatin1.begin()) : -1;
}

ShapingFont::Kind ShapingFont::kindOf(char16_t c)
{
    const int index = indexOf(c);
    if (index < 0)
        return NotFollowed;
    if (m_kinds[index] == Unknown)
        m_kinds[index] = examine(c);
    return m_kinds[index];
}

// The walk follows printable Latin-1, the rest of Windows-1252 and the LF stand-in, as long as
// the font does not kern them with a blank: word widths are measured without their blanks.
ShapingFont::Kind ShapingFont::examine(char16_t c) const
{
    if (c < 0x21 || (c >= 0x7F && c < 0xA0) || c == 0xAD)
        return NotFollowed; // controls, and the soft hyphen, which Qt shows only at a break
    const QString alone(QChar { c });
    const qreal width = m_metrics.horizontalAdvance(alone);
    const qreal blank = m_metrics.horizontalAdvance(QString(QChar(kBlank)));
    if (m_metrics.horizontalAdvance(alone + QChar(kBlank)) != width + blank
        || m_metrics.horizontalAdvance(QChar(kBlank) + alone) != width + blank)
        return NotFollowed;
    return QChar::script(c) == QChar::Script_Latin ? LatinLetter : Other;
}

bool ShapingFont::follows(QStringView paragraph, bool *latin)
{
    if (m_blanksKern)
        return false;
    // Most paragraphs are printable ASCII: one pass without branches tells.
    if (m_asciiFollowed) {
        const char16_t *text = paragraph.utf16();
        quint16 outside = 0;
        quint16 letters = 0;
        for (qsizetype i = 0; i < paragraph.size(); ++i) {
            const quint16 c = text[i];
            outside |= quint16(c - 0x20) > 0x5E ? 1 : 0;
            letters |= quint16((c | 0x20) - u'a') < 26 ? 1 : 0;
        }
        if (!outside) {
            *latin = letters != 0;
            return true;
        }
    }
    bool anyLatin = false;
    for (const QChar ch : paragraph) {
        const Kind kind = kindOf(ch.unicode());
        if (kind == NotFollowed)
            return false;
        anyLatin = anyLatin || kind == LatinLetter;
    }
    *latin = anyLatin;
    return true;
}

bool ShapingFont::singleGlyph(char16_t c)
{
    qint8 &known = m_singleGlyph[indexOf(c)];
    if (known < 0) {
        QTextLayout layout(QString(QChar(c)), m_font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        qsizetype glyphs = 0;
        for (const QGlyphRun &run : layout.glyphRuns())
            glyphs += run.glyphIndexes().size();
        known = glyphs == 1 ? 1 : 0;
    }
    return known == 1;
}

// Laid out anywhere in lines of 1 pixel, a line for each cluster: the line's advance is the
// cluster's, and its natural width adds the overhang of its glyph, which Qt computes for the
// glyph before the one that did not fit.
bool ShapingFont::shape(
    QStringView word, bool latinContext, std::vector<GlyphCluster> &clusters) const
{
    const qsizetype lead = latinContext ? 1 : 0;
    QString text;
    text.reserve(word.size() + lead);
    if (latinContext)
        text += QLatin1Char('a');
    text += word;
    QTextLayout layout(text, m_font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(1);
    layout.endLayout();

    clusters.clear();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const qsizetype start = line.textStart() - lead;
        if (start < 0) {
            if (line.textLength() != 1)
                return false;
            continue;
        }
        const qreal advance = line.horizontalAdvance();
        clusters.push_back({ quint16(start), quint16(line.textLength()), Fixed::exact(advance),
            -Fixed::exact(line.naturalTextWidth() - advance) });
    }
    return true;
}
