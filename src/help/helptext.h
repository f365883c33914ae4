#pragma once

#include <QString>

/// The help text that Help inserts into the document: banners, title, the paragraphs and the
/// credits, joined by CR LF, with no line break at either end.
QString helpText();
