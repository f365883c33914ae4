#pragma once

#include <QString>

class MainWindow;

/// At start, before any file is opened: the work that instances now gone left in the recovery
/// folder, offered back one box at a time. First the saves in place that were cut off (the old
/// bytes can be put back), then the journals of unsaved documents, newest first. The window
/// holds one document: once one is recovered, the others wait for the next start, and the user
/// is told so. A journal that holds nothing the files do not is removed without a word.
namespace RecoveryOffer {

/// Returns whether a document was recovered into `window`, whose journal must be open. Then
/// `fileAsked`, a file named on the command line, is not to be opened; the user is told.
bool offerAtStart(MainWindow &window, const QString &fileAsked = {});

} // namespace RecoveryOffer
