#pragma once

#include "editor/commandtable.h"

#include <QObject>
#include <QString>

class frmedit;
class Host;

/// Protect File and UnProtect File.
class ProtectCommands : public QObject
{
    Q_OBJECT

public:
    explicit ProtectCommands(frmedit &window);

    void btncode_Click();
    void btndecode_Click();

    /// The lower-cased password of the last Protect that accepted one.
    const QString &enterpass2() const { return m_enterpass2; }

private:
    bool refuseUnrestorable(const QString &text);
    bool refuseUnstorable(const QString &password);
    bool mayRestoreDamaged(const QString &protectedText);
    void tell(const QString &prompt);

    frmedit &m_window;
    Host &m_host;
    QString m_enterpass2;
};
