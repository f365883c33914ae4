#pragma once

#include <QDialog>

/// `frmAbout`: the program's title, version and description, closed with OK, Enter or Esc.
class AboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit AboutWindow(QWidget *parent = nullptr);

    static QString applicationTitle() { return QStringLiteral("Tarvex"); }
};
