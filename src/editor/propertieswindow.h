#pragma once

#include <QDialog>

/// "Properties": a placeholder window with nothing to set yet; OK, Cancel, Escape and its close
/// box close it.
class PropertiesWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PropertiesWindow(QWidget *parent = nullptr);
};
