#pragma once

#include "editor/commandtable.h"

#include <QObject>
#include <QPointer>

class FontChooser;
class MainWindow;

/// The edit area's font style, size, face and colours.
class AppearanceCommands : public QObject
{
    Q_OBJECT

public:
    explicit AppearanceCommands(MainWindow &window);

    void growFont();
    void shrinkFont();
    void changeContrast();
    void chooseFace();
    /// The face chooser, while it is open.
    FontChooser *fontChooser() const;

private:
    enum class Style { Bold, Italic, Underline };

    void toggleStyle(Style style);
    void setSizeRow(const QString &row, double points);
    void changeSizeBy(double points);

    MainWindow &m_window;
    QPointer<FontChooser> m_chooser;
};
