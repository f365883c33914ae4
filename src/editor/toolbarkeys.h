#pragma once

#include <QObject>

class QComboBox;
class QToolBar;
class QWidget;

/// The keyboard's way to the toolbar, as desktop programs give it: F6 moves the keyboard from
/// the text to the toolbar's first button and back again; on the toolbar Left and Right move
/// along it (Home and End to its ends), Enter and Space press the button, Escape returns to the
/// text. Tab and Shift+Tab also go along it. In the drop-down's text the arrows move the caret
/// until they would leave the text; Home and End stay with the text.
class ToolbarKeys : public QObject
{
    Q_OBJECT

public:
    /// The toolbar's buttons, and the controls on it, become Tab stops that a click does not
    /// take the keyboard to, so that clicking a button leaves it in `text`.
    ToolbarKeys(QToolBar *toolbar, QWidget *text);

    /// F6: to the toolbar's first control, or back to the text when the keyboard is on it.
    void toggle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static bool atEdge(const QComboBox *box, int key);
    QList<QWidget *> reachable() const;
    void focusItem(QWidget *item);
    void move(QWidget *from, int key);
    void returnToText();

    QToolBar *m_toolbar;
    QWidget *m_text;
};
