#pragma once

#include <QString>

/// The title bar reads the document's name, "[", a star while it is modified, and an ending that
/// tells what last gave the document its state.
enum class TitleSuffix {
    StartUp, // "] -Tarvex": at start-up, and after Save and Save As
    Edited, // "] Tarvex": after any change of the text, and after New
    Opened, // "]  - Tarvex": after Open
};

QString documentTitle(const QString &name, bool modified, TitleSuffix suffix);

/// The string to give QWidget::setWindowTitle so that the window shows `title` exactly: Qt
/// reads "[*]" as the modified placeholder, and "[*][*]" as a literal "[*]".
QString windowTitleFor(const QString &title);
