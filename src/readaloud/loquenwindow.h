#pragma once

#include "editor/commandtable.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class Document;
class TextView;
class Host;
class QPushButton;
class SpeechEngine;

/// `loquen`, the read-aloud window: the text box `Text1`, whose text the speech engine
/// speaks, pauses and resumes; its own Load, Save and New; About and Help texts in the box.
/// It belongs to no other window: closing the editor leaves it open.
class LoquenWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit LoquenWindow(Host &host, QWidget *parent = nullptr);
    ~LoquenWindow() override;

    TextView *textArea() const { return m_textArea; }
    /// A button by its object name: play, pause, resumer, loadfile, close, about.
    QPushButton *button(const QString &name) const;
    /// A menu row by its object name.
    QAction *command(const QString &name) const;
    SpeechEngine *speech() const { return m_speech.get(); }

    /// Opening from the editor: shown, brought forward, and `Text1` replaced by `text`.
    void showWithText(const QString &text);

    void play();
    void pause();
    void resume();
    void loadFile();
    void askToClose();
    void showAbout();
    void showHelp();
    void clearText();
    void saveText();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void load(const QString &path);
    void setSpeaking(bool speaking);
    void tellSpeechFailure(const QString &reason);

    Host &m_host;
    Document *m_text = nullptr;
    TextView *m_textArea = nullptr;
    std::unique_ptr<SpeechEngine> m_speech;
    CommandSet m_commands;
    QString m_dialogFileName; // the one dialog of Load and Save shows the name last chosen
    bool m_toldSpeechFailure = false;
    bool m_loading = false;
    std::optional<QString> m_textAfterLoad; // the editor's text, come while a file loaded
};
