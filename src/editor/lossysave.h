#pragma once

#include "codec1252.h"

#include <QString>

class Host;

/// Asks whether a text may be saved with "?" in place of the characters `found` that the code
/// page cannot hold; true when there are none or the user answers Yes. Every window that saves
/// a text asks this one question.
bool confirmLossySave(Host &host, const Codec1252::Unencodable &found);

/// The characters of `found` as a box lists them, "and N more" after the first few.
QString unencodableList(const Codec1252::Unencodable &found);
