#pragma once

#include "host.h"

/// The real host: Qt dialogs, the system clipboard, fonts, colours, clock and speech.
class QtHost : public Host
{
public:
    Button messageBox(const QString &prompt, const QString &title, Icon icon, Buttons buttons,
        std::optional<Button> defaultButton) override;
    int choiceBox(const Choice &choice) override;
    QString inputBox(
        const QString &prompt, const QString &title, const QString &defaultText) override;
    QString passwordBox(
        const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> openFileName(const FileDialog &dialog) override;
    std::optional<QString> saveFileName(const FileDialog &dialog) override;
    bool printText(const QString &text, const QFont &font) override;
    std::unique_ptr<Progress> showProgress(
        QWidget *owner, const QString &label, const QString &title) override;
    bool isShowingModal() const override;
    qint64 memoryAvailable() const override;

    QString clipboardText() override;
    void setClipboardText(const QString &text) override;
    void clearClipboard() override;

    void postKeystrokes(const QString &text) override;

    QColor systemColor(int index) override;
    QStringList screenFonts() override;
    QDateTime currentDateTime() override;
    std::unique_ptr<SpeechEngine> createSpeechEngine() override;

private:
    int m_modalDepth = 0;
};
