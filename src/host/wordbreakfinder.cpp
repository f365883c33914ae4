#include "wordbreakfinder.h"

#include "linebreakpairs.h"

#include <algorithm>

namespace {

// Qt's rule for numbers takes no letter in, so a letter on either side makes a break its own.
// The LF stand-in is alphabetic too.
bool isLetterLike(char16_t c)
{
    return c == 0x240A || QChar::isLetter(c);
}

} // namespace

std::optional<std::vector<qsizetype>> WordBreakFinder::onItsOwn(QStringView word)
{
    std::vector<qsizetype> breaks;
    bool askFinder = false;
    for (qsizetype i = 1; i < word.size(); ++i) {
        const char16_t before = word[i - 1].unicode();
        const char16_t after = word[i].unicode();
        if (LineBreakPairs::covers(before) && LineBreakPairs::covers(after)) {
            const LineBreakPairs::Break pair = LineBreakPairs::between(before, after);
            if (pair == LineBreakPairs::Break::DependsOnContext)
                return std::nullopt;
            if (pair == LineBreakPairs::Break::Always)
                breaks.push_back(i);
        } else if (isLetterLike(before) || isLetterLike(after)) {
            askFinder = true;
        } else {
            return std::nullopt;
        }
    }
    if (!askFinder)
        return breaks;
    breaks.clear();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, word.data(), word.size());
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at < word.size();
         at = finder.toNextBoundary())
        breaks.push_back(at);
    return breaks;
}

void WordBreakFinder::reset(QStringView paragraph)
{
    m_paragraph = paragraph;
    m_paragraphFinder.reset();
}

// The finder on the word and the text around it up to the nearest letters; on the whole
// paragraph when they are far.
std::vector<qsizetype> WordBreakFinder::inContext(qsizetype start, qsizetype end)
{
    constexpr qsizetype kFar = 1024;
    const QStringView text = m_paragraph;
    qsizetype from = start;
    while (from > 0 && !isLetterLike(text[from - 1].unicode()) && start - from < kFar)
        --from;
    from = std::max<qsizetype>(0, from - 1);
    qsizetype to = end;
    while (to < text.size() && !isLetterLike(text[to].unicode()) && to - end < kFar)
        ++to;
    to = std::min(text.size(), to + 1);
    const bool far = (from > 0 && !isLetterLike(text[from].unicode()))
        || (to < text.size() && !isLetterLike(text[to - 1].unicode()));

    std::vector<qsizetype> breaks;
    if (far || to - from > kFar) {
        if (!m_paragraphFinder) {
            m_buffer.resize(text.size() + 1);
            m_paragraphFinder.emplace(QTextBoundaryFinder::Line, text.data(), text.size(),
                m_buffer.data(), qsizetype(m_buffer.size()));
        }
        for (qsizetype at = start + 1; at < end; ++at) {
            m_paragraphFinder->setPosition(at);
            if (m_paragraphFinder->isAtBoundary())
                breaks.push_back(at);
        }
        return breaks;
    }
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text.data() + from, to - from);
    finder.setPosition(start - from);
    for (qsizetype at = finder.toNextBoundary(); at > 0 && from + at < end;
         at = finder.toNextBoundary())
        breaks.push_back(from + at);
    return breaks;
}
