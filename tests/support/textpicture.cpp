#include "textpicture.h"

#include "document/document.h"

#include <algorithm>

namespace TextPicture {

void show(Document &document, const QString &picture)
{
    const qsizetype start = std::max(picture.indexOf(u'|'), picture.indexOf(u'['));
    document.load(TextBuffer(QString(picture).remove(u'|').remove(u'[').remove(u']')), {});
    document.select(start, std::max<qsizetype>(picture.indexOf(u']') - start - 1, 0));
}

QString of(const Document &document)
{
    QString text = document.text();
    const qsizetype start = document.selectionStart();
    const qsizetype end = start + document.selectionLength();
    return end == start ? text.insert(start, u'|') : text.insert(end, u']').insert(start, u'[');
}

} // namespace TextPicture
