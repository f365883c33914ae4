#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class Document;
class Host;
class QWidget;

/// Protect File and UnProtect File. `lineCount` tells how many lines the text displays, for a
/// long text is announced before it is encoded; `view` shows the document and takes the keyboard.
class ProtectCommands : public QObject
{
    Q_OBJECT

public:
    ProtectCommands(Document &document, Host &host, QWidget *view,
        std::function<int()> lineCount, QObject *parent = nullptr);

    void protect();
    void unprotect();

private:
    bool refuseUnrestorable(const QString &text);
    bool refuseUnstorable(const QString &password);
    bool mayRestoreDamaged(const QString &protectedText);
    void tell(const QString &prompt);

    void focusView();

    Document &m_document;
    Host &m_host;
    QPointer<QWidget> m_view;
    std::function<int()> m_lineCount;
};
