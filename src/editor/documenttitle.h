#pragma once

#include <QString>

/// The title bar reads `saveme` & "[" & `star` & suffix; which suffix depends on the last step
/// that set it.
enum class TitleSuffix {
    StartUp, // "] -Tarvex", also after Save and Save As
    Edited, // "] Tarvex", after any change of the text and after New
    Opened, // "]  - Tarvex"
};

QString documentTitle(const QString &saveme, const QString &star, TitleSuffix suffix);

/// The string to give QWidget::setWindowTitle so that the window shows `title` exactly: Qt
/// reads "[*]" as the modified placeholder, and "[*][*]" as a literal "[*]".
QString windowTitleFor(const QString &title);
