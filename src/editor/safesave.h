#pragma once

#include "documentfile.h"

#include <QByteArray>
#include <QString>

/// Makes `bytes` the whole content of the regular file at `path`, creating it when there is
/// none. When anything fails the old content is left byte for byte. An existing file keeps its
/// owner, group, mode and hard links: a finished copy replaces it where the copy can take all of
/// them on, and it is written over in place where it cannot (more than one link, an owner that
/// cannot be given back, a folder that takes no new file).
SaveResult safeSave(const QString &path, const QByteArray &bytes);
