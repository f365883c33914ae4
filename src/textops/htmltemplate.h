#pragma once

#include <QString>

/// The text HTML code inserts: an empty HTML page of eight CR LF lines, 73 characters.
QString htmlTemplate();
