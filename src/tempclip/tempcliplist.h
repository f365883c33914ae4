#pragma once

#include <QAbstractListModel>
#include <QCollator>
#include <QStringList>

/// The temporary clipboard: text entries kept verbatim (empty ones, duplicates and line breaks
/// allowed) in alphabetical order. Both views show this one model, so an index means the same
/// entry in each; one-line views show every line break as "|".
class TempClipList : public QAbstractListModel
{
    Q_OBJECT

public:
    /// The entry's own text, line breaks included.
    static constexpr int VerbatimRole = Qt::UserRole + 1;

    explicit TempClipList(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    /// Inserts `text` at its sorted place (after equal entries); returns its row.
    int add(const QString &text);
    void removeAt(int row);
    void clear();
    const QStringList &entries() const { return m_entries; }
    QString entry(int row) const { return m_entries.value(row); }

    /// How a one-line view shows `text`: each line break as "|".
    static QString oneLine(const QString &text);

private:
    QStringList m_entries;
    QCollator m_collator;
};
