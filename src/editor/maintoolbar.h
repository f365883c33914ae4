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
    QPushButton *growFontButton() const { return m_growFontButton; }
    QPushButton *shrinkFontButton() const { return m_shrinkFontButton; }
    QComboBox *clipboardBox() const { return m_clipboardBox; }

private:
    QHash<QString, QAction *> m_buttons;
    QPushButton *m_growFontButton = nullptr;
    QPushButton *m_shrinkFontButton = nullptr;
    QComboBox *m_clipboardBox = nullptr;
};
