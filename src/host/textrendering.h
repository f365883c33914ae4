#pragma once

#include <QString>
#include <QStringView>

/// Text that comes in from other programs, turned into the document's own line breaks.
namespace TextRendering {

/// Text with every bare LF (one not after a CR) turned into CR LF, as text from other programs
/// uses a bare LF for a line break.
QString withCrLfLineBreaks(QStringView text);

} // namespace TextRendering
