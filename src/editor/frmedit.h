#pragma once

#include "commandtable.h"
#include "documenttitle.h"

#include <QMainWindow>
#include <QPointer>

#include <optional>

class Document;
class EditArea;
class Host;
class MainToolbar;
class PropertiesWindow;
class QLabel;
class QProgressBar;

/// The main window: one document in the edit area `Area`, its state (path, modified marker,
/// line count), the title bar, the menus, the toolbar and the status bar. The commands live in
/// their subsystems, which connect themselves to the rows (see app/assembly.h).
class frmedit : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmedit(Host &host, QWidget *parent = nullptr);
    ~frmedit() override;

    Host &host() const { return m_host; }
    EditArea *area() const { return m_area; }
    MainToolbar *toolbar() const { return m_toolbar; }
    /// The action of a menu row by its object name, or null (connecting to null warns).
    QAction *command(const QString &name) const;

    /// The document's file; none until it is saved or opened.
    const std::optional<QString> &path() const { return m_path; }
    void setPath(const std::optional<QString> &path) { m_path = path; }
    /// The file as the title shows it: its path, or "Untitled".
    QString saveme() const;
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    /// The modified marker as the title shows it: "*" or nothing.
    QString star() const;
    int linecount() const { return m_linecount; }
    bool loadedfromfile() const { return m_loadedfromfile; }
    void setLoadedfromfile(bool loaded) { m_loadedfromfile = loaded; }

    /// Title ← `saveme` & "[" & `star` & the suffix.
    void setTitle(TitleSuffix suffix);
    const QString &title() const { return m_title; }

    /// Rebuilds the status bar text.
    void statupload();
    QString statusText() const;

    void Area_Change();
    void refreshlinecount();
    void new_Click();
    void exit_Click();
    void mnushowstatus_Click();
    void mnushowtool_Click();
    /// The Properties window, if it is open.
    PropertiesWindow *propertiesWindow() const;

    /// From beginLoading() to endLoading() a file is read into the area behind a progress
    /// window, and nothing else may reach the document.
    void beginLoading();
    void endLoading();
    bool isLoading() const { return m_loading; }
    /// A close arrived while loading: the load gives up, and the close comes back after it.
    bool closeWaiting() const { return m_closeAfterLoad; }

signals:
    /// The main window is asked to close (whether or not the close goes ahead), and the tool
    /// windows it owns have just closed.
    void closingSecondaryWindows();
    /// New or Open has put a different document in the edit area.
    void documentReplaced();
    /// The text has changed, and the title and the status bar say so.
    void areaChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    bool isChecked(const QString &name) const;
    void setCopyCutEnabled();
    void showProperties();
    void showStreamProgress(int percent);

    Host &m_host;
    Document *m_document = nullptr;
    EditArea *m_area = nullptr;
    MainToolbar *m_toolbar = nullptr;
    QLabel *m_statusText = nullptr;
    QProgressBar *m_loadProgress = nullptr;
    QPointer<PropertiesWindow> m_properties;
    CommandSet m_commands;

    std::optional<QString> m_path;
    bool m_modified = false;
    QString m_title;
    int m_linecount = 0;
    bool m_loadedfromfile = false;

    bool m_loading = false;
    bool m_closeAfterLoad = false;
    QList<QPointer<QAction>> m_disabledWhileLoading;
};
