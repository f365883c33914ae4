#pragma once

#include <QString>
#include <QStringView>

#include <vector>

/// A text kept in pieces of some ten thousand characters while a journal's changes are replayed
/// on it, so that a change anywhere in a long text moves about one piece, not the whole text.
class ReplayText
{
public:
    explicit ReplayText(const QString &text);

    qsizetype size() const { return m_size; }
    /// Replaces `removed` characters at `position` by `added`; false, and nothing done, when
    /// they do not lie inside the text.
    bool replace(qsizetype position, qsizetype removed, QStringView added);
    QString toString() const;

private:
    void split(std::size_t index);

    std::vector<QString> m_pieces;
    qsizetype m_size = 0;
};
