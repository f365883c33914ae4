#pragma once

#include <QIcon>

class QString;

/// The toolbar icon for `key` ("New", "Open", ... "Properties"): the theme's icon, else our own.
QIcon toolbarIcon(const QString &key);
