#pragma once

#include <QHash>
#include <QToolBar>

class QComboBox;
class QPushButton;

/// `Toolbar1`: the buttons New to Properties, then the two font-size buttons and the
/// temporary clipboard drop-down. A click reports the button's key ("New", "Open", ...).
class MainToolbar : public QToolBar
{
    Q_OBJECT

public:
    explicit MainToolbar(QWidget *parent = nullptr);

    /// The button with this key, or null.
    QAction *button(const QString &key) const { return m_buttons.value(key); }
    QPushButton *fontbig() const { return m_fontbig; }
    QPushButton *fontsmall() const { return m_fontsmall; }
    QComboBox *cmbtmp() const { return m_cmbtmp; }

signals:
    void buttonClicked(const QString &key);

private:
    QHash<QString, QAction *> m_buttons;
    QPushButton *m_fontbig = nullptr;
    QPushButton *m_fontsmall = nullptr;
    QComboBox *m_cmbtmp = nullptr;
};
