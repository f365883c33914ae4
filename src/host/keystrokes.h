#pragma once

#include <QString>

class QWidget;

/// Posts the key presses and releases that type `text` into `target`: a CR LF pair or a lone
/// CR or LF is one Enter key, a tab the Tab key, anything else its own character.
void postKeystrokes(QWidget *target, const QString &text);
