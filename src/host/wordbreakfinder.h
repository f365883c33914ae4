#pragma once

#include <QStringView>
#include <QTextBoundaryFinder>

#include <optional>
#include <vector>

/// Where Qt may break a line inside a word (the characters between two blanks): from the table
/// of ASCII pairs where it can, from QTextBoundaryFinder where it must. Line breaks inside a
/// word depend on the text around it only through Qt's rule for numbers, which a letter ends.
class WordBreakFinder
{
public:
    /// The break opportunities inside `word`, as offsets from its start, when they do not
    /// depend on the text around it; nothing when they do.
    static std::optional<std::vector<qsizetype>> onItsOwn(QStringView word);

    /// The paragraph whose words inContext looks at.
    void reset(QStringView paragraph);
    /// The break opportunities inside the word [start, end) of the paragraph, as positions.
    std::vector<qsizetype> inContext(qsizetype start, qsizetype end);

private:
    QStringView m_paragraph;
    std::vector<unsigned char> m_buffer;
    std::optional<QTextBoundaryFinder> m_paragraphFinder; // when a word's context is far
};
