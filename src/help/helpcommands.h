#pragma once

#include <QObject>
#include <QPointer>

class AboutWindow;
class Document;
class Host;
class QWidget;

/// Help, which inserts the help text, and About, whose window belongs to `owner`.
class HelpCommands : public QObject
{
    Q_OBJECT

public:
    HelpCommands(
        Document &document, Host &host, QWidget *owner, QWidget *view, QObject *parent = nullptr);

    void insertHelp();
    void showAbout();

private:
    Document &m_document;
    Host &m_host;
    QWidget *m_owner;
    QPointer<QWidget> m_view;
    QPointer<AboutWindow> m_about;
};
