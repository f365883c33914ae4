#include "tempcliplist.h"

#include <algorithm>

TempClipList::TempClipList(QObject *parent)
    : QAbstractListModel(parent)
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int TempClipList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant TempClipList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const QString &text = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: // what an editable drop-down puts in its text field
    case Qt::ToolTipRole:
        return oneLine(text);
    case VerbatimRole:
        return text;
    default:
        return {};
    }
}

int TempClipList::add(const QString &text)
{
    const auto place = std::upper_bound(m_entries.cbegin(), m_entries.cend(), text,
        [this](const QString &a, const QString &b) { return m_collator.compare(a, b) < 0; });
    const int row = int(place - m_entries.cbegin());
    beginInsertRows({}, row, row);
    m_entries.insert(row, text);
    endInsertRows();
    return row;
}

void TempClipList::removeAt(int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
    endRemoveRows();
}

void TempClipList::clear()
{
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

QString TempClipList::oneLine(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        shown += (ch == u'\r' || ch == u'\n') ? QChar(u'|') : ch;
    }
    return shown;
}
