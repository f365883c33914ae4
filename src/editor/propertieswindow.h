#pragma once

#include <QWidget>

/// "Properties": a placeholder window whose buttons do nothing; it closes with its close box.
class PropertiesWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PropertiesWindow(QWidget *parent = nullptr);
};
