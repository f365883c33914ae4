#include "layoutcache.h"

#include <QTextLayout>

#include <algorithm>
#include <vector>

namespace {

constexpr qsizetype kKept = 400; // stretches: a screenful of short lines many times over

} // namespace

LayoutCache::LayoutCache() = default;
LayoutCache::~LayoutCache() = default;

void LayoutCache::setFormat(const QFont &font, QTextOption::WrapMode wrapMode, qreal lineWidth)
{
    m_font = font;
    m_option.setWrapMode(wrapMode);
    m_lineWidth = lineWidth;
    clear();
}

QTextLayout *LayoutCache::find(const Key &key)
{
    const auto it = m_entries.find(key);
    if (it == m_entries.end())
        return nullptr;
    it->second.used = ++m_clock;
    return it->second.layout.get();
}

QTextLayout *LayoutCache::add(const Key &key, const QString &text)
{
    if (qsizetype(m_entries.size()) >= kKept) {
        // The least recently used half goes; what the view holds was used last.
        std::vector<quint64> uses;
        for (const auto &[key, entry] : m_entries)
            uses.push_back(entry.used);
        std::nth_element(uses.begin(), uses.begin() + uses.size() / 2, uses.end());
        const quint64 cut = uses[uses.size() / 2];
        std::erase_if(m_entries, [cut](const auto &it) { return it.second.used < cut; });
        ++m_generation;
    }
    auto layout = std::make_unique<QTextLayout>(text, m_font);
    layout->setTextOption(m_option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    qreal y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(m_lineWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    Entry &entry = m_entries[key];
    entry.layout = std::move(layout);
    entry.used = ++m_clock;
    return entry.layout.get();
}

void LayoutCache::dropFrom(qsizetype from, qsizetype removed, qsizetype shift)
{
    std::unordered_map<Key, Entry, KeyHash> kept;
    for (auto &[key, entry] : m_entries) {
        if (key.paragraph < from)
            kept.emplace(key, std::move(entry));
        else if (key.paragraph >= from + removed)
            kept.emplace(Key { key.paragraph + shift, key.from }, std::move(entry));
    }
    m_entries = std::move(kept);
    ++m_generation;
}

void LayoutCache::dropWithin(
    qsizetype paragraph, qsizetype from, qsizetype keptFrom, qsizetype shift)
{
    std::unordered_map<Key, Entry, KeyHash> kept;
    for (auto &[key, entry] : m_entries) {
        if (key.paragraph != paragraph || key.from < from)
            kept.emplace(key, std::move(entry));
        else if (keptFrom >= 0 && key.from >= keptFrom)
            kept.emplace(Key { paragraph, key.from + shift }, std::move(entry));
    }
    m_entries = std::move(kept);
    ++m_generation;
}

void LayoutCache::clear()
{
    m_entries.clear();
    ++m_generation;
}
