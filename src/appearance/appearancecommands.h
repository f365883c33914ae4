#pragma once

#include "editor/commandtable.h"

#include <QObject>
#include <QPointer>

class FontChooser;
class frmedit;

/// The edit area's font style, size, face and colours.
class AppearanceCommands : public QObject
{
    Q_OBJECT

public:
    explicit AppearanceCommands(frmedit &window);

    void fontbig_Click();
    void Fontsmall_Click();
    void mnucontrast_Click();
    void facea_Click();
    /// The face chooser, while it is open.
    FontChooser *fontChooser() const;

private:
    enum class Style { Bold, Italic, Underline };

    void toggleStyle(Style style);
    void setSizeRow(const QString &row, double points);
    void changeSizeBy(double points);

    frmedit &m_window;
    QPointer<FontChooser> m_chooser;
};
