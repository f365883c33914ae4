#pragma once

#include <QString>

/// The text of `hatamala`: an empty HTML page of eight CR LF lines, 73 characters.
QString htmlTemplate();
