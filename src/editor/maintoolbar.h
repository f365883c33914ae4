#pragma once

#include <QHash>
#include <QToolBar>

class QComboBox;
class QPushButton;

/// `Toolbar1`: the buttons New to Properties, then the two font-size buttons and the
/// temporary clipboard drop-down. A button that does what a menu row does shows that row's
/// action; Copy, Cut (which leave the clipboard as it was when nothing is selected) and
/// Properties have actions of their own.
class MainToolbar : public QToolBar
{
    Q_OBJECT

public:
    /// `menuRows` are the menu's actions by object name.
    MainToolbar(const QHash<QString, QAction *> &menuRows, QWidget *parent = nullptr);

    /// The action of the button with this key ("New", "Copy", ...), or null.
    QAction *button(const QString &key) const { return m_buttons.value(key); }
    QPushButton *fontbig() const { return m_fontbig; }
    QPushButton *fontsmall() const { return m_fontsmall; }
    QComboBox *cmbtmp() const { return m_cmbtmp; }

private:
    QHash<QString, QAction *> m_buttons;
    QPushButton *m_fontbig = nullptr;
    QPushButton *m_fontsmall = nullptr;
    QComboBox *m_cmbtmp = nullptr;
};
