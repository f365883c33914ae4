#pragma once

#include "commandtable.h"

#include <QMainWindow>
#include <QPointer>

class Document;
class Host;
class JournalKeeper;
class MainToolbar;
class PropertiesWindow;
class QLabel;
class TextView;

/// The main window `frmedit`: the document in the edit area `Area`, the title bar, the menus, the
/// toolbar and the status bar. It listens to the document for its title and status bar; the
/// commands live in their subsystems, which app/assembly.h wires to the rows.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Host &host, QWidget *parent = nullptr);
    ~MainWindow() override;

    Host &host() const { return m_host; }
    Document &document() const { return *m_document; }
    TextView *area() const { return m_area; }
    /// The document's recovery journal, kept once opened.
    JournalKeeper &journal() const { return *m_journal; }
    MainToolbar *toolbar() const { return m_toolbar; }
    /// The action of a menu row by its object name, or null (connecting to null warns).
    QAction *command(const QString &name) const;
    bool isChecked(const QString &name) const;

    /// The document's name as the title shows it: its path, or "Untitled".
    QString documentName() const;
    /// The title bar's text, as the window shows it.
    const QString &title() const { return m_title; }
    /// The number of lines the status bar shows: those the edit area displays, wrapped lines
    /// counted, as last counted (0 until the text first changes).
    int lineCount() const { return m_lineCount; }
    void refreshStatusBar();
    QString statusText() const;
    /// The status bar's second field: the encoding of the document's file.
    QString encodingText() const;

    /// New: an empty, untitled document, once a modified one may be dropped.
    void newDocument();

    /// From beginLoading() to endLoading() a file is read into the area behind a progress
    /// window, and nothing else may reach the document.
    void beginLoading();
    void endLoading();
    bool isLoading() const { return m_loading; }
    /// A close arrived while loading: the load gives up, and the close comes back after it.
    bool closeWaiting() const { return m_closeAfterLoad; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateTitle();
    void onTextChanged();
    void onDocumentLoaded();
    void updateEncodingField();
    void refreshLineCount();
    void updateCopyCut();
    void showProperties();
    void toggleStatusBar();
    void toggleToolBar();

    Host &m_host;
    Document *m_document = nullptr;
    TextView *m_area = nullptr;
    JournalKeeper *m_journal = nullptr;
    MainToolbar *m_toolbar = nullptr;
    QLabel *m_statusText = nullptr;
    QLabel *m_encodingText = nullptr;
    QPointer<PropertiesWindow> m_properties;
    CommandSet m_commands;

    QString m_title;
    int m_lineCount = 0;
    bool m_loading = false;
    bool m_closeAfterLoad = false;
    QList<QPointer<QAction>> m_disabledWhileLoading;
};
