#pragma once

// Stand-in with the storage's interface until the piece table lands.
#include <QString>
#include <functional>

class TextBuffer
{
public:
    class Span
    {
    public:
        qsizetype size() const { return m_text.size(); }

    private:
        friend class TextBuffer;
        QString m_text;
    };

    TextBuffer() = default;
    explicit TextBuffer(const QString &text)
        : m_text(text)
    { }

    qsizetype size() const { return m_text.size(); }
    QChar at(qsizetype pos) const { return m_text.at(pos); }
    QString mid(qsizetype pos, qsizetype length) const { return m_text.mid(pos, length); }
    QString toString() const { return m_text; }
    void forEachChunk(qsizetype from, qsizetype to,
        const std::function<bool(QStringView)> &chunk) const
    {
        chunk(QStringView(m_text).mid(from, to - from));
    }
    void replace(qsizetype pos, qsizetype removed, QStringView added)
    {
        m_text.replace(pos, removed, added.toString());
    }
    Span span(qsizetype pos, qsizetype length) const
    {
        Span s;
        s.m_text = m_text.mid(pos, length);
        return s;
    }
    void replace(qsizetype pos, qsizetype removed, const Span &added)
    {
        m_text.replace(pos, removed, added.m_text);
    }
    qsizetype crCount() const { return m_text.count(u'\r'); }
    qsizetype countCrsBefore(qsizetype pos) const { return QStringView(m_text).first(pos).count(u'\r'); }
    qsizetype positionOfCr(qsizetype index) const
    {
        qsizetype at = -1;
        for (qsizetype i = 0; i <= index; ++i)
            at = m_text.indexOf(u'\r', at + 1);
        return at;
    }

private:
    QString m_text;
};
